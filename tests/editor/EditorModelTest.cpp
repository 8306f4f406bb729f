// The editor model without a window: the binding table's mappings, the walks
// that show and collect a record, and the validation rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

#include "editor/EditorModel.h"
#include "tests/editor/EditorRecordCases.h"

namespace {

using E = EditorControl;

// A model showing the defaults of the newest generation.
EditorModel ShowingDefaults()
{
    EditorModel model;
    model.Show(MakeDefaultConfiguration(DefaultsFamily::Gen108));
    return model;
}

}  // namespace

TEST(EditorBindings, EveryControlAndFieldOnce)
{
    std::set<std::string> names;
    std::vector<ConfigField> fields;
    for (const ControlBinding& binding : kEditorBindings) {
        EXPECT_TRUE(names.insert(binding.name).second) << binding.name;
        // A polarity shares the field of its function.
        if (binding.mapping != Mapping::InputPolarity) {
            EXPECT_EQ(std::find(fields.begin(), fields.end(), binding.field), fields.end()) << binding.name;
            fields.push_back(binding.field);
        }
        EXPECT_EQ(binding.step != 0, binding.kind == ControlKind::SteppedSpin) << binding.name;
    }
    // Every single field of the record but Reserved; the maps are the grids'.
    EXPECT_EQ(fields.size(), 198u - 2 * kMapRows * kMapCells - 1);
}

TEST(EditorModel, InputFeaturePairs)
{
    struct Case {
        int32_t value;
        int function;
        int polarity;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 1, 1}, {7, 4, 0}, {4, 2, 1}, {11, 6, 0}, {12, 6, 1}};
    for (const Case& c : cases) {
        EditorModel model = ShowingDefaults();
        DeviceConfiguration record = model.Collect();
        record.InputFeature3 = c.value;
        model.Show(record);
        EXPECT_EQ(model.Value(E::Input3Function), c.function) << c.value;
        EXPECT_EQ(model.Value(E::Input3Polarity), c.polarity) << c.value;
        EXPECT_EQ(model.Collect().InputFeature3, c.value);
    }
    // No function: the polarity choice does not count.
    EditorModel model = ShowingDefaults();
    model.SetValue(E::Input5Function, 0);
    model.SetValue(E::Input5Polarity, 1);
    EXPECT_EQ(model.Collect().InputFeature5, 0);

    // A function beyond the six choices leaves the choice as it was.
    DeviceConfiguration record = model.Collect();
    model.SetValue(E::Input1Function, 3);
    record.InputFeature1 = 15;
    model.Show(record);
    EXPECT_EQ(model.Value(E::Input1Function), 3);
    EXPECT_EQ(model.Value(E::Input1Polarity), 0);
}

TEST(EditorModel, PulsesItems)
{
    const std::pair<int32_t, int> cases[] = {{4, 0}, {2, 1}, {1, 2}};
    for (const auto& [pulses, item] : cases) {
        EditorModel model = ShowingDefaults();
        DeviceConfiguration record = model.Collect();
        record.PulsesPerTwoRevolutions = pulses;
        model.Show(record);
        EXPECT_EQ(model.Value(E::RpmPulses), item);
        EXPECT_EQ(model.Collect().PulsesPerTwoRevolutions, pulses);
    }

    EditorModel model = ShowingDefaults();
    const ControlValues before = model.Controls();
    DeviceConfiguration record = model.Collect();
    record.PulsesPerTwoRevolutions = 3;
    record.ShiftLightRPM = 4200;
    try {
        model.Show(record);
        ADD_FAILURE() << "3 pulses shown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Invalid item pulses_per_two_revolutions");
    }
    EXPECT_EQ(model.Controls(), before) << "nothing of the record reached the controls";

    model.SetValue(E::RpmPulses, -1);
    try {
        model.Collect();
        ADD_FAILURE() << "no pulses item collected";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Invalid value pulses_per_two_revolutions");
    }
}

TEST(EditorModel, ThresholdPercentage)
{
    EditorModel model = ShowingDefaults();
    DeviceConfiguration record = model.Collect();
    record.TPSMinVoltage = 700;
    record.TPSMaxVoltage = 4300;
    record.TPSThresholdVoltage = 1060;
    model.Show(record);
    EXPECT_EQ(model.Value(E::ThresholdPercent), 10);
    EXPECT_EQ(model.Collect().TPSThresholdVoltage, 1060);

    // The spin holds 1-99 %; the limits it collects with are the spins'.
    record.TPSThresholdVoltage = 4300;
    model.Show(record);
    EXPECT_EQ(model.Value(E::ThresholdPercent), 99);
    model.SetValue(E::TpsMax, 1700);
    EXPECT_EQ(model.Collect().TPSThresholdVoltage, 700 + 1000 * 99 / 100);
}

TEST(EditorModel, WarmUpPauseFollowsTheActiveTime)
{
    struct Case {
        int32_t period;
        int32_t active;
        int pause;         // shown
        int32_t collects;  // period
    };
    const Case cases[] = {
        {2000, 200, 1800, 2000},
        {0, 100, -100, 0},
        {300, 500, -200, 300},
        // The active spin holds 0-500: the pause follows what it holds.
        {2000, 800, 1200, 1700},
        {2500, 0, 2000, 2000},
    };
    for (const Case& c : cases) {
        EditorModel model = ShowingDefaults();
        DeviceConfiguration record = model.Collect();
        record.WarmUpPeriod = c.period;
        record.WarmupActiveTime = c.active;
        model.Show(record);
        EXPECT_EQ(model.Value(E::WarmUpPause), c.pause) << c.period << "/" << c.active;
        EXPECT_EQ(model.Collect().WarmUpPeriod, c.collects) << c.period << "/" << c.active;
    }
    EXPECT_EQ(WarmUpPauseRange(300), std::make_pair(-300, 1700));
}

TEST(EditorModel, ControlsKeepTheirRangesAndItems)
{
    EXPECT_EQ(HeldValue(BindingOf(E::ShiftLightRpm), 20000, 5000), 16000);
    EXPECT_EQ(HeldValue(BindingOf(E::SpeedPulses), 0, 5), 1);
    EXPECT_EQ(HeldValue(BindingOf(E::Output1), 4, 2), 2);
    EXPECT_EQ(HeldValue(BindingOf(E::Output1), 3, 2), 3);
    EXPECT_EQ(HeldValue(BindingOf(E::GearDetection), -1, 1), 1);
}

// The steps of the stepped spins. The window gives each spin the step of its
// row, so a wrong step shows only against these values.
TEST(EditorBindings, StepsOfTheSteppedSpins)
{
    const std::pair<EditorControl, int> steps[] = {
        {E::ShiftLightRpm, 100}, {E::WarmUpMaxRpm, 100}, {E::ShiftingDelay, 10}, {E::BlippingDelay, 10},
        {E::WarmUpActive, 100},  {E::WarmUpPause, 100},  {E::TpsMin, 50},        {E::TpsMax, 50},
    };
    for (const auto& [control, step] : steps)
        EXPECT_EQ(BindingOf(control).step, step) << BindingOf(control).name;
    const auto stepped =
        std::count_if(kEditorBindings.begin(), kEditorBindings.end(),
                      [](const ControlBinding& b) { return b.kind == ControlKind::SteppedSpin; });
    EXPECT_EQ(stepped, static_cast<long>(std::size(steps))) << "every stepped spin is listed";
}

TEST(EditorModel, DefaultsOfEveryGenerationComeBack)
{
    for (DefaultsFamily family :
         {DefaultsFamily::Base, DefaultsFamily::Gen103, DefaultsFamily::Gen107, DefaultsFamily::Gen108}) {
        EditorModel model;
        const DeviceConfiguration original = MakeDefaultConfiguration(family);
        model.Show(original);
        DeviceConfiguration expected = original;
        // Generations without a speed sensor hold 0, which the spins (1-32
        // pulses, 1000-3000 mm) cannot show.
        const bool speedSensor = family == DefaultsFamily::Gen107 || family == DefaultsFamily::Gen108;
        if (!speedSensor) {
            EXPECT_EQ(original.NumOfSpeedPulses, 0);
            EXPECT_EQ(original.WheelCircumference, 0);
            expected.NumOfSpeedPulses = 1;
            expected.WheelCircumference = 1000;
        }
        EXPECT_TRUE(model.Collect() == expected) << static_cast<int>(family);
        EXPECT_EQ(RequestedControlValues(original) == model.Controls(), speedSensor) << "inside every range";
    }
}

// The model holds every valid record as it is (tests/config: they are valid).
TEST(EditorModel, EveryValidRecordComesBackUnchanged)
{
    for (const editor_record_cases::RecordCase& c : editor_record_cases::RecordsAtTheLimits()) {
        EditorModel model;
        model.Show(c.config);
        EXPECT_TRUE(model.Collect() == c.config)
            << c.name << ":" << editor_record_cases::Differences(c.config, model.Collect());
    }
}

// Every control holds only what its field may hold in a record, the ranges a
// settings file accepts, and a choice offers all of it. (The layout gives each
// control the table's range and items: tests/gui/EditorTests.cpp.)
TEST(EditorBindings, EveryControlHoldsOnlyWhatItsFieldMayHold)
{
    using editor_record_cases::FieldRange;
    std::vector<FieldRange> ranges(std::begin(editor_record_cases::kFieldRanges),
                                   std::end(editor_record_cases::kFieldRanges));
    ranges.push_back({"TPSMinVoltage", &DeviceConfiguration::TPSMinVoltage, 0, 5000});
    ranges.push_back({"TPSMaxVoltage", &DeviceConfiguration::TPSMaxVoltage, 0, 5000});
    for (const ControlBinding& binding : kEditorBindings) {
        const auto range = std::find_if(ranges.begin(), ranges.end(),
                                        [&](const FieldRange& r) { return r.field == binding.field; });
        switch (binding.mapping) {
            case Mapping::Value:  // a choice has an item for every value
                ASSERT_NE(range, ranges.end()) << binding.name;
                EXPECT_GE(binding.min, range->min) << binding.name;
                EXPECT_LE(binding.max, range->max) << binding.name;
                if (binding.kind == ControlKind::Choice || binding.kind == ControlKind::RadioBox) {
                    EXPECT_EQ(binding.min, range->min) << binding.name;
                    EXPECT_EQ(binding.max, range->max) << binding.name;
                }
                break;
            case Mapping::InputFunction:  // with the polarity after it
                EXPECT_EQ(2 * binding.max - 1 + BindingOf(PolarityOf(binding.control)).max, range->max)
                    << binding.name;
                break;
            case Mapping::WarmUpPause:  // the period, whatever the active time
                for (int active : {BindingOf(E::WarmUpActive).min, BindingOf(E::WarmUpActive).max}) {
                    const auto [lowest, highest] = WarmUpPauseRange(active);
                    EXPECT_EQ(active + lowest, range->min) << active;
                    EXPECT_EQ(active + highest, range->max) << active;
                }
                break;
            default:  // the polarity with its function; the pulses and the threshold have cases above
                break;
        }
    }
}

TEST(EditorModel, Validation)
{
    using V = std::vector<EditorControl>;
    struct Case {
        const char* name;
        int detection;
        std::vector<std::pair<EditorControl, int>> values;
        V marked;
        V listed;
    };
    const Case cases[] = {
        {"all differ", 0, {}, {}, {}},
        {"two voltages",
         0,
         {{E::Gear2Voltage, 2500}, {E::Gear3Voltage, 2500}},
         {E::Gear2Voltage, E::Gear3Voltage},
         {E::Gear2Voltage, E::Gear3Voltage}},
        {"by value, equal ones in panel order",
         0,
         {{E::Gear6Voltage, 100}, {E::GearNVoltage, 100}, {E::Gear4Voltage, 50}, {E::Gear1Voltage, 50}},
         {E::Gear1Voltage, E::Gear4Voltage, E::GearNVoltage, E::Gear6Voltage},
         {E::Gear1Voltage, E::Gear4Voltage, E::GearNVoltage, E::Gear6Voltage}},
        {"voltages of the other method", 1, {{E::Gear2Voltage, 2500}, {E::Gear3Voltage, 2500}}, {}, {}},
        {"ratios",
         1,
         {{E::Gear5Ratio, 450}, {E::Gear1Ratio, 450}},
         {E::Gear1Ratio, E::Gear5Ratio},
         {E::Gear1Ratio, E::Gear5Ratio}},
        {"neither method",
         2,
         {{E::Gear5Ratio, 400}, {E::Gear1Ratio, 400}, {E::Gear2Voltage, 1}, {E::Gear3Voltage, 1}},
         {},
         {}},
        {"TPS limits", 2, {{E::TpsMin, 1500}, {E::TpsMax, 1500}}, {E::TpsMin, E::TpsMax}, {E::TpsMax}},
        {"the two highest voltages",
         0,
         {{E::Gear5Voltage, 4000}},
         {E::Gear5Voltage, E::Gear6Voltage},
         {E::Gear5Voltage, E::Gear6Voltage}},
        {"both",
         0,
         {{E::TpsMin, 0}, {E::TpsMax, 0}, {E::Gear1Voltage, 0}, {E::Gear2Voltage, 0}},
         {E::Gear1Voltage, E::Gear2Voltage, E::TpsMin, E::TpsMax},
         {E::Gear1Voltage, E::Gear2Voltage, E::TpsMax}},
    };
    for (const Case& c : cases) {
        EditorModel model;
        for (size_t i = 0; i < kGearVoltageControls.size(); ++i)
            model.SetValue(kGearVoltageControls[i], 1000 + 500 * static_cast<int>(i));
        for (size_t i = 0; i < kGearRatioControls.size(); ++i)
            model.SetValue(kGearRatioControls[i], 100 + 100 * static_cast<int>(i));
        model.SetValue(E::TpsMin, 700);
        model.SetValue(E::TpsMax, 4300);
        model.SetValue(E::GearDetection, c.detection);
        for (const auto& [control, value] : c.values)
            model.SetValue(control, value);
        EXPECT_EQ(model.Validate(), (EditorValidity{c.marked, c.listed})) << c.name;
    }
}

TEST(EditorModel, InputGivingUpItsFunction)
{
    EditorModel model;
    model.SetValue(E::Input1Function, 1);
    model.SetValue(E::Input2Function, 2);
    model.SetValue(E::Input3Function, 2);  // just chosen: input 2 gives it up
    model.SetValue(E::Input6Function, 2);
    EXPECT_EQ(InputGivingUpFunction(model.Controls(), 2), 1);
    EXPECT_EQ(InputGivingUpFunction(model.Controls(), 5), 1);
    EXPECT_EQ(InputGivingUpFunction(model.Controls(), 0), -1);
}
