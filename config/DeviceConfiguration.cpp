#include "DeviceConfiguration.h"

#include <span>

#include "DefaultMaps.h"

void ClearConfiguration(DeviceConfiguration& config)
{
    config = DeviceConfiguration{};
    config.TPSMaxVoltage = 5000;
    // A negative 1000 rpm cell marks a row as absent; every generation sends
    // all five rows, so only a blank record carries the marker.
    for (int row = 1; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            config.BlipperMap[row][cell] = -1;
            config.ShifterMap[row][cell] = -1;
        }
    }
}

namespace {

struct FieldValue {
    ConfigField field;
    int32_t value;
};

using C = DeviceConfiguration;

// Each family is the one before it plus the values listed for it.
constexpr FieldValue kBaseValues[] = {
    {&C::GearNVoltage, 5000},        {&C::Gear1Voltage, 2200},        {&C::Gear2Voltage, 2500},
    {&C::Gear3Voltage, 3200},        {&C::Gear4Voltage, 3800},        {&C::Gear5Voltage, 4400},
    {&C::Gear6Voltage, 4800},        {&C::InputFeature1, 2},          {&C::InputFeature2, 4},
    {&C::InputFeature3, 6},          {&C::InputFeature4, 8},          {&C::InputFeature5, 10},
    {&C::InputFeature6, 0},          {&C::OutputFeature1, 1},         {&C::OutputFeature2, 2},
    {&C::ShiftLightRPM, 10000},      {&C::WarmupMaxRPM, 3000},        {&C::TPSThresholdVoltage, 2200},
    {&C::TPSMinVoltage, 0},          {&C::TPSMaxVoltage, 5000},       {&C::PulsesPerTwoRevolutions, 1},
    {&C::DelayBetweenShifting, 100}, {&C::DelayBetweenBlipping, 100}, {&C::WarmUpPeriod, 1500},
    {&C::WarmupActiveTime, 200},     {&C::ShiftingMode, 2},           {&C::DeltaT, 5},
    {&C::IgnitionMode, 0},
};
constexpr FieldValue kGen103Values[] = {
    {&C::TPSThresholdVoltage, 1060},
    {&C::TPSMinVoltage, 700},
    {&C::TPSMaxVoltage, 4300},
};
constexpr FieldValue kGen107Values[] = {
    {&C::NumOfSpeedPulses, 4},     {&C::GearDetection, 0},        {&C::WheelCircumference, 2000},
    {&C::Gear1RpmSpeedRatio, 854}, {&C::Gear2RpmSpeedRatio, 645}, {&C::Gear3RpmSpeedRatio, 526},
    {&C::Gear4RpmSpeedRatio, 459}, {&C::Gear5RpmSpeedRatio, 415}, {&C::Gear6RpmSpeedRatio, 386},
};
constexpr FieldValue kGen108Values[] = {
    {&C::WarmupMaxRPM, 2000},
};

struct FamilyLayer {
    DefaultsFamily family;
    std::span<const FieldValue> values;
};
// In order of descent: applying a family applies every layer up to its own.
constexpr FamilyLayer kFamilyLayers[] = {
    {DefaultsFamily::Base, kBaseValues},
    {DefaultsFamily::Gen103, kGen103Values},
    {DefaultsFamily::Gen107, kGen107Values},
    {DefaultsFamily::Gen108, kGen108Values},
};

}  // namespace

DeviceConfiguration MakeDefaultConfiguration(DefaultsFamily family)
{
    DeviceConfiguration config;
    ClearConfiguration(config);
    for (int row = 0; row < kMapRows; ++row) {
        SetRow(config.BlipperMap[row], kDefaultBlipperRow);
        SetRow(config.ShifterMap[row], kDefaultShifterRows[row]);
    }
    for (const FamilyLayer& layer : kFamilyLayers) {
        for (const FieldValue& entry : layer.values) {
            config.*entry.field = entry.value;
        }
        if (layer.family == family) {
            break;
        }
    }
    return config;
}
