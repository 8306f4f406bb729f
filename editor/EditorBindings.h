// The one table that binds every editor control with a value to the record:
// control name, the field or fields it edits, how the value maps, the range it
// holds and its step.
#pragma once

#include <array>
#include <cstddef>

#include "config/DeviceConfiguration.h"

// The editor controls by meaning, in the table's order. The polarity of an
// input follows its function.
enum class EditorControl {
    Input1Function,
    Input1Polarity,
    Input2Function,
    Input2Polarity,
    Input3Function,
    Input3Polarity,
    Input4Function,
    Input4Polarity,
    Input5Function,
    Input5Polarity,
    Input6Function,
    Input6Polarity,
    RpmPulses,
    GearNVoltage,
    Gear1Voltage,
    Gear2Voltage,
    Gear3Voltage,
    Gear4Voltage,
    Gear5Voltage,
    Gear6Voltage,
    Gear1Ratio,
    Gear2Ratio,
    Gear3Ratio,
    Gear4Ratio,
    Gear5Ratio,
    Gear6Ratio,
    GearDetection,
    WheelCircumference,
    SpeedPulses,
    Output1,
    Output2,
    ShiftLightRpm,
    ShiftingDelay,
    TpsMin,
    TpsMax,
    ThresholdPercent,
    BlippingDelay,
    WarmUpActive,
    WarmUpPause,
    WarmUpMaxRpm,
    ShiftingMode,
    DeltaT,
    IgnitionMode,
};
inline constexpr size_t kEditorControlCount = static_cast<size_t>(EditorControl::IgnitionMode) + 1;

enum class ControlKind {
    Choice,       // selection; a selection outside the items leaves it as it is
    RadioBox,     // the same
    Spin,         // value; held inside its range
    SteppedSpin,  // a spin that moves in steps
};

enum class Mapping {
    Value,             // value or selection = field
    InputFunction,     // field 0, or 2 * function - 1 + polarity (with the next control)
    InputPolarity,     // the polarity of the input before it
    PulsesItem,        // item 0 <-> 4, item 1 <-> 2, item 2 <-> 1
    WarmUpPause,       // WarmUpPeriod - WarmupActiveTime
    ThresholdPercent,  // TPSThresholdVoltage as a percentage of the TPS span
};

struct ControlBinding {
    EditorControl control;
    const char* name;  // the layout's name of the control
    ControlKind kind;
    Mapping mapping;
    ConfigField field;
    int min;   // spins: range; choices and radio boxes: first and last item
    int max;   // (the pause's range follows the active time, WarmUpPauseRange)
    int step;  // stepped spins; 0 for the others
};

namespace editor_bindings_detail {
using C = DeviceConfiguration;
using K = ControlKind;
using M = Mapping;
using E = EditorControl;
}  // namespace editor_bindings_detail

// The longest warm-up period (pause + active time), ms.
inline constexpr int kMaxWarmUpPeriod = 2000;

// clang-format off
inline constexpr std::array<ControlBinding, kEditorControlCount> kEditorBindings = [] {
    using namespace editor_bindings_detail;
    return std::array<ControlBinding, kEditorControlCount>{{
        {E::Input1Function, "ID_CHOICE1", K::Choice, M::InputFunction, &C::InputFeature1, 0, 6, 0},
        {E::Input1Polarity, "ID_CHOICE8", K::Choice, M::InputPolarity, &C::InputFeature1, 0, 1, 0},
        {E::Input2Function, "ID_CHOICE2", K::Choice, M::InputFunction, &C::InputFeature2, 0, 6, 0},
        {E::Input2Polarity, "ID_CHOICE9", K::Choice, M::InputPolarity, &C::InputFeature2, 0, 1, 0},
        {E::Input3Function, "ID_CHOICE3", K::Choice, M::InputFunction, &C::InputFeature3, 0, 6, 0},
        {E::Input3Polarity, "ID_CHOICE10", K::Choice, M::InputPolarity, &C::InputFeature3, 0, 1, 0},
        {E::Input4Function, "ID_CHOICE11", K::Choice, M::InputFunction, &C::InputFeature4, 0, 6, 0},
        {E::Input4Polarity, "ID_CHOICE12", K::Choice, M::InputPolarity, &C::InputFeature4, 0, 1, 0},
        {E::Input5Function, "ID_CHOICE13", K::Choice, M::InputFunction, &C::InputFeature5, 0, 6, 0},
        {E::Input5Polarity, "ID_CHOICE14", K::Choice, M::InputPolarity, &C::InputFeature5, 0, 1, 0},
        {E::Input6Function, "ID_CHOICE15", K::Choice, M::InputFunction, &C::InputFeature6, 0, 6, 0},
        {E::Input6Polarity, "ID_CHOICE16", K::Choice, M::InputPolarity, &C::InputFeature6, 0, 1, 0},
        {E::RpmPulses, "ID_RPM_PULSES", K::Choice, M::PulsesItem, &C::PulsesPerTwoRevolutions, 0, 2, 0},
        {E::GearNVoltage, "GEAR_VOLTAGE_SPN_N", K::Spin, M::Value, &C::GearNVoltage, 0, 5000, 0},
        {E::Gear1Voltage, "GEAR_VOLTAGE_SPN_1", K::Spin, M::Value, &C::Gear1Voltage, 0, 5000, 0},
        {E::Gear2Voltage, "GEAR_VOLTAGE_SPN_2", K::Spin, M::Value, &C::Gear2Voltage, 0, 5000, 0},
        {E::Gear3Voltage, "GEAR_VOLTAGE_SPN_3", K::Spin, M::Value, &C::Gear3Voltage, 0, 5000, 0},
        {E::Gear4Voltage, "GEAR_VOLTAGE_SPN_4", K::Spin, M::Value, &C::Gear4Voltage, 0, 5000, 0},
        {E::Gear5Voltage, "GEAR_VOLTAGE_SPN_5", K::Spin, M::Value, &C::Gear5Voltage, 0, 5000, 0},
        {E::Gear6Voltage, "GEAR_VOLTAGE_SPN_6", K::Spin, M::Value, &C::Gear6Voltage, 0, 5000, 0},
        {E::Gear1Ratio, "GEAR_RPMSPEED_SPN_1", K::Spin, M::Value, &C::Gear1RpmSpeedRatio, 0, 1500, 0},
        {E::Gear2Ratio, "GEAR_RPMSPEED_SPN_2", K::Spin, M::Value, &C::Gear2RpmSpeedRatio, 0, 1500, 0},
        {E::Gear3Ratio, "GEAR_RPMSPEED_SPN_3", K::Spin, M::Value, &C::Gear3RpmSpeedRatio, 0, 1500, 0},
        {E::Gear4Ratio, "GEAR_RPMSPEED_SPN_4", K::Spin, M::Value, &C::Gear4RpmSpeedRatio, 0, 1500, 0},
        {E::Gear5Ratio, "GEAR_RPMSPEED_SPN_5", K::Spin, M::Value, &C::Gear5RpmSpeedRatio, 0, 1500, 0},
        {E::Gear6Ratio, "GEAR_RPMSPEED_SPN_6", K::Spin, M::Value, &C::Gear6RpmSpeedRatio, 0, 1500, 0},
        {E::GearDetection, "ID_RBOX_GEAR_DETECTION", K::RadioBox, M::Value, &C::GearDetection, 0, 2, 0},
        {E::WheelCircumference, "ID_WHEEL_CIRCUMFERENCE", K::Spin, M::Value, &C::WheelCircumference, 1000, 3000, 0},
        {E::SpeedPulses, "ID_SPEED_PULSES", K::Spin, M::Value, &C::NumOfSpeedPulses, 1, 32, 0},
        {E::Output1, "ID_CHOICE4", K::Choice, M::Value, &C::OutputFeature1, 0, 3, 0},
        {E::Output2, "ID_CHOICE5", K::Choice, M::Value, &C::OutputFeature2, 0, 3, 0},
        {E::ShiftLightRpm, "ID_SPINCTRL1", K::SteppedSpin, M::Value, &C::ShiftLightRPM, 1000, 16000, 100},
        {E::ShiftingDelay, "ID_SPINCTRL12", K::SteppedSpin, M::Value, &C::DelayBetweenShifting, 0, 500, 10},
        {E::TpsMin, "ID_SPINCTRL17", K::SteppedSpin, M::Value, &C::TPSMinVoltage, 0, 5000, 50},
        {E::TpsMax, "ID_SPINCTRL11", K::SteppedSpin, M::Value, &C::TPSMaxVoltage, 0, 5000, 50},
        {E::ThresholdPercent, "ID_SPINCTRL18", K::Spin, M::ThresholdPercent, &C::TPSThresholdVoltage, 1, 99, 0},
        {E::BlippingDelay, "ID_SPINCTRL13", K::SteppedSpin, M::Value, &C::DelayBetweenBlipping, 0, 500, 10},
        {E::WarmUpActive, "ID_SPINCTRL14", K::SteppedSpin, M::Value, &C::WarmupActiveTime, 0, 500, 100},
        {E::WarmUpPause, "ID_SPINCTRL15", K::SteppedSpin, M::WarmUpPause, &C::WarmUpPeriod, -500, kMaxWarmUpPeriod, 100},
        {E::WarmUpMaxRpm, "ID_SPINCTRL16", K::SteppedSpin, M::Value, &C::WarmupMaxRPM, 500, 16000, 100},
        {E::ShiftingMode, "ID_CHOICE17", K::Choice, M::Value, &C::ShiftingMode, 0, 2, 0},
        {E::DeltaT, "ID_SPINCTRL2", K::Spin, M::Value, &C::DeltaT, 1, 10, 0},
        {E::IgnitionMode, "ID_CHOICE6", K::Choice, M::Value, &C::IgnitionMode, 0, 3, 0},
    }};
}();
// clang-format on

constexpr const ControlBinding& BindingOf(EditorControl control)
{
    return kEditorBindings[static_cast<size_t>(control)];
}

constexpr bool TableFollowsTheControls()
{
    for (size_t i = 0; i < kEditorBindings.size(); ++i)
        if (static_cast<size_t>(kEditorBindings[i].control) != i)
            return false;
    return true;
}
static_assert(TableFollowsTheControls(), "one row per control, in the order of EditorControl");

// The calibration spins of each gear-detection method, in panel order.
inline constexpr std::array<EditorControl, 7> kGearVoltageControls = {
    EditorControl::GearNVoltage, EditorControl::Gear1Voltage, EditorControl::Gear2Voltage,
    EditorControl::Gear3Voltage, EditorControl::Gear4Voltage, EditorControl::Gear5Voltage,
    EditorControl::Gear6Voltage};
inline constexpr std::array<EditorControl, 6> kGearRatioControls = {
    EditorControl::Gear1Ratio, EditorControl::Gear2Ratio, EditorControl::Gear3Ratio,
    EditorControl::Gear4Ratio, EditorControl::Gear5Ratio, EditorControl::Gear6Ratio};
// The function choices of the six inputs, in input order.
inline constexpr std::array<EditorControl, 6> kInputFunctionControls = {
    EditorControl::Input1Function, EditorControl::Input2Function, EditorControl::Input3Function,
    EditorControl::Input4Function, EditorControl::Input5Function, EditorControl::Input6Function};

constexpr EditorControl PolarityOf(EditorControl function)
{
    return static_cast<EditorControl>(static_cast<int>(function) + 1);
}
