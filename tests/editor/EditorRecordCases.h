// Records for the editors' round trips, shared by the model's tests, the
// settings file's (they are valid records) and the window's wiring test: the
// ranges a settings file accepts in the single fields, and valid records at
// the ends of every range.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/DeviceConfiguration.h"

namespace editor_record_cases {

using C = DeviceConfiguration;

// The TPS limits, the pulses, the maps and the warm-up time are tied to each
// other or to other fields and get cases of their own.
struct FieldRange {
    const char* name;
    ConfigField field;
    int32_t min;
    int32_t max;
};
inline const FieldRange kFieldRanges[] = {
    {"GearNVoltage", &C::GearNVoltage, 0, 5000},
    {"Gear1Voltage", &C::Gear1Voltage, 0, 5000},
    {"Gear2Voltage", &C::Gear2Voltage, 0, 5000},
    {"Gear3Voltage", &C::Gear3Voltage, 0, 5000},
    {"Gear4Voltage", &C::Gear4Voltage, 0, 5000},
    {"Gear5Voltage", &C::Gear5Voltage, 0, 5000},
    {"Gear6Voltage", &C::Gear6Voltage, 0, 5000},
    {"InputFeature1", &C::InputFeature1, 0, 12},
    {"InputFeature2", &C::InputFeature2, 0, 12},
    {"InputFeature3", &C::InputFeature3, 0, 12},
    {"InputFeature4", &C::InputFeature4, 0, 12},
    {"InputFeature5", &C::InputFeature5, 0, 12},
    {"InputFeature6", &C::InputFeature6, 0, 12},
    {"OutputFeature1", &C::OutputFeature1, 0, 3},
    {"OutputFeature2", &C::OutputFeature2, 0, 3},
    {"ShiftLightRPM", &C::ShiftLightRPM, 1000, 16000},
    {"WarmupMaxRPM", &C::WarmupMaxRPM, 500, 16000},
    {"DelayBetweenShifting", &C::DelayBetweenShifting, 0, 500},
    {"DelayBetweenBlipping", &C::DelayBetweenBlipping, 0, 500},
    {"WarmUpPeriod", &C::WarmUpPeriod, 0, 2000},
    {"WarmupActiveTime", &C::WarmupActiveTime, 0, 500},
    {"ShiftingMode", &C::ShiftingMode, 0, 2},
    {"DeltaT", &C::DeltaT, 1, 10},
    {"IgnitionMode", &C::IgnitionMode, 0, 3},
    {"GearDetection", &C::GearDetection, 0, 2},
    {"NumOfSpeedPulses", &C::NumOfSpeedPulses, 1, 32},
    {"WheelCircumference", &C::WheelCircumference, 1000, 3000},
    {"Gear1RpmSpeedRatio", &C::Gear1RpmSpeedRatio, 0, 1500},
    {"Gear2RpmSpeedRatio", &C::Gear2RpmSpeedRatio, 0, 1500},
    {"Gear3RpmSpeedRatio", &C::Gear3RpmSpeedRatio, 0, 1500},
    {"Gear4RpmSpeedRatio", &C::Gear4RpmSpeedRatio, 0, 1500},
    {"Gear5RpmSpeedRatio", &C::Gear5RpmSpeedRatio, 0, 1500},
    {"Gear6RpmSpeedRatio", &C::Gear6RpmSpeedRatio, 0, 1500},
};
inline constexpr int32_t kBlipperCellMax = 220;
inline constexpr int32_t kShifterCellMax = 150;
inline constexpr int32_t kCellMin = 30;  // besides 0

struct RecordCase {
    std::string name;
    DeviceConfiguration config;
};

// Valid records at the ends of every range. The base leaves room for any one
// field to go to either end without colliding with another (distinct gear
// values, free input codes, both outputs off).
inline std::vector<RecordCase> RecordsAtTheLimits()
{
    DeviceConfiguration base = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    for (size_t i = 0; i < kGearVoltageFields.size(); ++i)
        base.*kGearVoltageFields[i] = 1000 + 500 * static_cast<int32_t>(i);
    for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i)
        base.*kRpmSpeedRatioFields[i] = 100 + 100 * static_cast<int32_t>(i);
    base.OutputFeature1 = 0;
    base.OutputFeature2 = 0;

    std::vector<RecordCase> cases;
    auto add = [&](const std::string& name, const std::function<void(C&)>& change) {
        DeviceConfiguration config = base;
        change(config);
        cases.push_back({name, config});
    };
    // Both ends, and one off each end: a value no step of a stepped spin reaches.
    for (const FieldRange& range : kFieldRanges)
        for (int32_t value : {range.min, range.min + 1, range.max - 1, range.max})
            add(std::string(range.name) + " " + std::to_string(value), [&](C& c) { c.*range.field = value; });
    for (int32_t period : {0, 2000})
        for (int32_t active : {0, 500})
            add("warm-up " + std::to_string(period) + "/" + std::to_string(active), [&](C& c) {
                c.WarmUpPeriod = period;
                c.WarmupActiveTime = active;
            });
    // TPS limits at and near the ends; spans of whole hundreds, so that every
    // percentage is an exact threshold.
    const std::pair<int32_t, int32_t> tpsLimits[] = {
        {0, 5000}, {0, 100}, {4900, 5000}, {1, 4901}, {2450, 2550}};
    for (const auto& [min, max] : tpsLimits)
        for (int32_t percent : {1, 50, 99})
            add("TPS " + std::to_string(min) + "-" + std::to_string(max) + " " + std::to_string(percent) +
                    "%",
                [&](C& c) {
                    c.TPSMinVoltage = min;
                    c.TPSMaxVoltage = max;
                    c.TPSThresholdVoltage = min + (max - min) / 100 * percent;
                });
    for (int32_t pulses : {1, 2, 4})
        add("pulses " + std::to_string(pulses), [&](C& c) { c.PulsesPerTwoRevolutions = pulses; });
    // The editors have no 1000 rpm cell: a record they can hold repeats the
    // 2000 rpm value there.
    auto fillMaps = [&](const std::string& name, const std::function<int32_t(int, int, int32_t)>& cell) {
        add(name, [&](C& c) {
            for (int row = 0; row < kMapRows; ++row) {
                for (int at = 1; at < kMapCells; ++at) {
                    c.BlipperMap[row][at] = cell(row, at, kBlipperCellMax);
                    c.ShifterMap[row][at] = cell(row, at, kShifterCellMax);
                }
                c.BlipperMap[row][0] = c.BlipperMap[row][1];
                c.ShifterMap[row][0] = c.ShifterMap[row][1];
            }
        });
    };
    fillMaps("map cells 0, 30 and the top", [](int row, int at, int32_t top) {
        const int32_t values[] = {0, kCellMin, top};
        return values[(row + at) % 3];
    });
    fillMaps("map cells each its own", [](int row, int at, int32_t) { return kCellMin + 16 * row + at; });
    return cases;
}

// The fields in which two records differ, by index, for a test's message.
inline std::string Differences(const DeviceConfiguration& expected, const DeviceConfiguration& actual)
{
    const auto want = std::bit_cast<std::array<int32_t, sizeof(C) / sizeof(int32_t)>>(expected);
    const auto got = std::bit_cast<std::array<int32_t, sizeof(C) / sizeof(int32_t)>>(actual);
    std::string text;
    for (size_t i = 0; i < want.size(); ++i)
        if (want[i] != got[i])
            text += " field " + std::to_string(i) + ": " + std::to_string(want[i]) + " became " +
                    std::to_string(got[i]) + ";";
    return text;
}

}  // namespace editor_record_cases
