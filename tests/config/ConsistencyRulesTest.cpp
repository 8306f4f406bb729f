#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "config/DeviceConfiguration.h"

namespace {

struct RuleCase {
    const char* what;
    std::function<void(DeviceConfiguration&)> change;
    int32_t expected;
};

TEST(CheckConsistency, FirstBrokenRuleDecides)
{
    using C = DeviceConfiguration;
    const RuleCase cases[] = {
        {"defaults", [](C&) {}, 0},
        {"same input value twice", [](C& c) { c.InputFeature1 = c.InputFeature4 = 5; }, -3},
        {"same function, other polarity",
         [](C& c) { c.InputFeature1 = 5, c.InputFeature4 = 6, c.InputFeature3 = 0; }, 0},
        {"two unused inputs", [](C& c) { c.InputFeature5 = 0; }, 0},
        {"neutral equals gear 6", [](C& c) { c.Gear6Voltage = c.GearNVoltage; }, -8},
        {"gear 1 equals gear 2", [](C& c) { c.Gear2Voltage = c.Gear1Voltage; }, -9},
        {"gear 2 equals gear 5", [](C& c) { c.Gear5Voltage = c.Gear2Voltage; }, -10},
        {"gear 3 equals gear 4", [](C& c) { c.Gear4Voltage = c.Gear3Voltage; }, -11},
        {"gear 4 equals gear 6", [](C& c) { c.Gear6Voltage = c.Gear4Voltage; }, -12},
        {"gear 5 equals gear 6", [](C& c) { c.Gear6Voltage = c.Gear5Voltage; }, -13},
        {"gear rule whatever the detection",
         [](C& c) { c.GearDetection = 1, c.Gear3Voltage = c.GearNVoltage; }, -8},
        {"both outputs unused", [](C& c) { c.OutputFeature1 = c.OutputFeature2 = 0; }, 0},
        {"output 2 unused only", [](C& c) { c.OutputFeature2 = 0; }, 0},
        {"same output function", [](C& c) { c.OutputFeature1 = c.OutputFeature2 = 2; }, -14},
        {"threshold on the minimum", [](C& c) { c.TPSMinVoltage = 700, c.TPSThresholdVoltage = 700; }, -16},
        {"threshold on the maximum", [](C& c) { c.TPSThresholdVoltage = c.TPSMaxVoltage; }, -16},
        {"threshold below the minimum", [](C& c) { c.TPSMinVoltage = 2500; }, -16},
        {"minimum above the maximum", [](C& c) { c.TPSMinVoltage = 4000, c.TPSMaxVoltage = 3000; }, -16},
        {"smallest valid span",
         [](C& c) { c.TPSMinVoltage = 0, c.TPSThresholdVoltage = 1, c.TPSMaxVoltage = 2; }, 0},
        {"inputs before gears",
         [](C& c) { c.InputFeature2 = c.InputFeature1, c.Gear1Voltage = c.GearNVoltage; }, -3},
        {"gears before outputs", [](C& c) { c.Gear2Voltage = c.Gear1Voltage, c.OutputFeature2 = 1; }, -9},
        {"outputs before TPS", [](C& c) { c.OutputFeature2 = 1, c.TPSMinVoltage = 5000; }, -14},
        {"ratios are not rule 1-4", [](C& c) { c.Gear1RpmSpeedRatio = c.Gear2RpmSpeedRatio = 0; }, 0},
    };
    for (const RuleCase& c : cases) {
        DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Base);
        c.change(config);
        EXPECT_EQ(CheckConsistency(config), c.expected) << c.what;
    }
}

TEST(CheckRatioConsistency, RatiosMustDiffer)
{
    using C = DeviceConfiguration;
    const RuleCase cases[] = {
        {"107 defaults", [](C&) {}, 0},
        {"all zero",
         [](C& c) {
             for (ConfigField f : kRpmSpeedRatioFields)
                 c.*f = 0;
         },
         -17},
        {"first equals last", [](C& c) { c.Gear6RpmSpeedRatio = c.Gear1RpmSpeedRatio; }, -17},
        {"neighbours equal", [](C& c) { c.Gear4RpmSpeedRatio = c.Gear3RpmSpeedRatio; }, -17},
        {"the last two equal", [](C& c) { c.Gear6RpmSpeedRatio = c.Gear5RpmSpeedRatio; }, -17},
        {"gear voltages do not matter", [](C& c) { c.Gear1Voltage = c.GearNVoltage; }, 0},
    };
    for (const RuleCase& c : cases) {
        DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
        c.change(config);
        EXPECT_EQ(CheckRatioConsistency(config), c.expected) << c.what;
    }
}

// Every breach is named with its fields, not only the first one.
TEST(FindConsistencyBreaches, ListsEveryBrokenRuleWithItsFields)
{
    using C = DeviceConfiguration;
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    config.InputFeature4 = config.InputFeature2;
    config.Gear5Voltage = config.Gear6Voltage = config.GearNVoltage;
    config.TPSThresholdVoltage = config.TPSMaxVoltage;
    config.Gear2RpmSpeedRatio = config.Gear1RpmSpeedRatio;
    const std::vector<std::pair<int32_t, std::vector<ConfigField>>> expected = {
        {-3, {&C::InputFeature2, &C::InputFeature4}},
        {-8, {&C::GearNVoltage, &C::Gear5Voltage}},
        {-8, {&C::GearNVoltage, &C::Gear6Voltage}},
        {-13, {&C::Gear5Voltage, &C::Gear6Voltage}},
        {-16, {&C::TPSMinVoltage, &C::TPSThresholdVoltage, &C::TPSMaxVoltage}},
    };
    std::vector<std::pair<int32_t, std::vector<ConfigField>>> found;
    for (const ConsistencyBreach& breach : FindConsistencyBreaches(config))
        found.emplace_back(breach.code, breach.fields);
    EXPECT_EQ(found, expected);
    ASSERT_EQ(FindRatioBreaches(config).size(), 1U);
    EXPECT_EQ(FindRatioBreaches(config)[0].fields,
              (std::vector<ConfigField>{&C::Gear1RpmSpeedRatio, &C::Gear2RpmSpeedRatio}));
}

}  // namespace
