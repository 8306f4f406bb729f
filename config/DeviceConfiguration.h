// The configuration record: everything a user can set in the unit, in the
// field order the unit, the settings files and the editors agree on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int kMapRows = 5;    // one row per gear
inline constexpr int kMapCells = 16;  // 1000 ... 16000 rpm

// 198 signed 32-bit fields in their fixed order. A plain value type.
struct DeviceConfiguration {
    int32_t GearNVoltage;  // mV
    int32_t Gear1Voltage;
    int32_t Gear2Voltage;
    int32_t Gear3Voltage;
    int32_t Gear4Voltage;
    int32_t Gear5Voltage;
    int32_t Gear6Voltage;
    int32_t InputFeature1;  // 0, or 2*function - 1 + polarity
    int32_t InputFeature2;
    int32_t InputFeature3;
    int32_t InputFeature4;
    int32_t InputFeature5;
    int32_t InputFeature6;
    int32_t OutputFeature1;
    int32_t OutputFeature2;
    int32_t ShiftLightRPM;
    int32_t WarmupMaxRPM;
    // Row 0..4 = down-shift from gear 2..6; cell c = (c + 1) * 1000 rpm.
    int32_t BlipperMap[kMapRows][kMapCells];
    // Row 0..4 = up-shift from gear 1..5.
    int32_t ShifterMap[kMapRows][kMapCells];
    int32_t TPSThresholdVoltage;  // mV
    int32_t TPSMinVoltage;        // mV
    int32_t TPSMaxVoltage;        // mV
    int32_t PulsesPerTwoRevolutions;
    int32_t NumOfSpeedPulses;
    int32_t DelayBetweenShifting;  // ms
    int32_t DelayBetweenBlipping;  // ms
    int32_t WarmUpPeriod;          // ms
    int32_t WarmupActiveTime;      // ms
    int32_t ShiftingMode;
    int32_t DeltaT;
    int32_t IgnitionMode;
    int32_t Reserved;       // not used by any conversion; always 0
    int32_t GearDetection;  // 0 sensor voltage, 1 rpm/speed ratio, 2 neither
    int32_t WheelCircumference;
    int32_t Gear1RpmSpeedRatio;
    int32_t Gear2RpmSpeedRatio;
    int32_t Gear3RpmSpeedRatio;
    int32_t Gear4RpmSpeedRatio;
    int32_t Gear5RpmSpeedRatio;
    int32_t Gear6RpmSpeedRatio;

    friend bool operator==(const DeviceConfiguration&, const DeviceConfiguration&) = default;
};

static_assert(sizeof(DeviceConfiguration) == 198 * sizeof(int32_t), "198 packed 32-bit fields");

// Member tables for loops over repeated fields.
using ConfigField = int32_t DeviceConfiguration::*;
// Neutral first, then gears 1..6.
inline constexpr std::array<ConfigField, 7> kGearVoltageFields = {
    &DeviceConfiguration::GearNVoltage, &DeviceConfiguration::Gear1Voltage,
    &DeviceConfiguration::Gear2Voltage, &DeviceConfiguration::Gear3Voltage,
    &DeviceConfiguration::Gear4Voltage, &DeviceConfiguration::Gear5Voltage,
    &DeviceConfiguration::Gear6Voltage};
inline constexpr std::array<ConfigField, 6> kInputFeatureFields = {
    &DeviceConfiguration::InputFeature1, &DeviceConfiguration::InputFeature2,
    &DeviceConfiguration::InputFeature3, &DeviceConfiguration::InputFeature4,
    &DeviceConfiguration::InputFeature5, &DeviceConfiguration::InputFeature6};
inline constexpr std::array<ConfigField, 6> kRpmSpeedRatioFields = {
    &DeviceConfiguration::Gear1RpmSpeedRatio, &DeviceConfiguration::Gear2RpmSpeedRatio,
    &DeviceConfiguration::Gear3RpmSpeedRatio, &DeviceConfiguration::Gear4RpmSpeedRatio,
    &DeviceConfiguration::Gear5RpmSpeedRatio, &DeviceConfiguration::Gear6RpmSpeedRatio};

// Which column of defaults a generation object uses.
enum class DefaultsFamily {
    Base,    // generations 100-102
    Gen103,  // 103-106: other TPS calibration
    Gen107,  // 107: speed sensor and rpm/speed ratios
    Gen108,  // 108 and the simulated device: lower warm-up limit
};

// Every field 0 except TPSMaxVoltage 5000 and map rows 1-4 all -1 (absent).
void ClearConfiguration(DeviceConfiguration& config);

// The defaults of a generation family: blank record with the family's values.
DeviceConfiguration MakeDefaultConfiguration(DefaultsFamily family);

// Result codes of the consistency check (first violated rule wins).
inline constexpr int32_t kConsistencyDuplicateInput = -3;
inline constexpr int32_t kConsistencyGearNVoltage = -8;  // -8 ... -13 by the first gear compared
inline constexpr int32_t kConsistencyOutputs = -14;
inline constexpr int32_t kConsistencyTps = -16;
inline constexpr int32_t kConsistencyRatios = -17;

// Rules 1-4 (inputs, gear voltages, outputs, TPS). 0 when they hold.
int32_t CheckConsistency(const DeviceConfiguration& config);
// Rule 5 (generation 107 on): the six ratios pairwise different.
int32_t CheckRatioConsistency(const DeviceConfiguration& config);

// One breach of a rule: its code and the fields that break it together (two
// fields of equal value, the two outputs, or the three TPS voltages).
struct ConsistencyBreach {
    int32_t code;
    std::vector<ConfigField> fields;
};
// Every breach of rules 1-4, in the order the rules are checked: the first
// one's code is CheckConsistency's.
std::vector<ConsistencyBreach> FindConsistencyBreaches(const DeviceConfiguration& config);
// Every pair of equal ratios (rule 5).
std::vector<ConsistencyBreach> FindRatioBreaches(const DeviceConfiguration& config);

// Input feature value: 0 when function is 0, else 2*function - 1 + polarity.
int32_t EncodeInputFeature(int function, int polarity);
struct InputFeature {
    int function;  // 0 none, 1..6
    int polarity;  // 0 or 1
};
InputFeature DecodeInputFeature(int32_t value);

// Threshold shown as a percentage of the TPS span, truncating. A zero span
// gives 0 percent and the minimum as threshold instead of dividing by zero.
int32_t ThresholdToPercent(int32_t threshold, int32_t min, int32_t max);
int32_t PercentToThreshold(int32_t percent, int32_t min, int32_t max);
