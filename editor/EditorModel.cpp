#include "editor/EditorModel.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

int Saturate(int64_t value)
{
    return static_cast<int>(
        std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int Index(EditorControl control)
{
    return static_cast<int>(control);
}

// The function choice shows (v + 1) / 2, the polarity choice 1 for an even v
// other than 0. For the values a valid record holds this is the record's own
// decoding; a negative value, which none holds, shows as the formula gives it.
int RequestedFunction(int32_t value)
{
    return value >= 0 ? DecodeInputFeature(value).function : Saturate((int64_t{value} + 1) / 2);
}

int RequestedPolarity(int32_t value)
{
    return value % 2 == 0 && value != 0 ? 1 : 0;
}

int PulsesItem(int32_t pulses)
{
    switch (pulses) {
        case 4:
            return 0;
        case 2:
            return 1;
        case 1:
            return 2;
        default:
            throw std::runtime_error("Invalid item pulses_per_two_revolutions");
    }
}

int32_t PulsesOfItem(int item)
{
    switch (item) {
        case 0:
            return 4;
        case 1:
            return 2;
        case 2:
            return 1;
        default:
            throw std::runtime_error("Invalid value pulses_per_two_revolutions");
    }
}

}  // namespace

ControlValues RequestedControlValues(const DeviceConfiguration& record)
{
    ControlValues values{};
    for (const ControlBinding& binding : kEditorBindings) {
        const int32_t field = record.*binding.field;
        int& value = values[Index(binding.control)];
        switch (binding.mapping) {
            case Mapping::Value:
                value = field;
                break;
            case Mapping::InputFunction:
                value = RequestedFunction(field);
                break;
            case Mapping::InputPolarity:
                value = RequestedPolarity(field);
                break;
            case Mapping::PulsesItem:
                value = PulsesItem(field);
                break;
            case Mapping::WarmUpPause:
                value = Saturate(int64_t{field} - record.WarmupActiveTime);
                break;
            case Mapping::ThresholdPercent:
                value = ThresholdToPercent(field, record.TPSMinVoltage, record.TPSMaxVoltage);
                break;
        }
    }
    return values;
}

std::pair<int, int> WarmUpPauseRange(int active)
{
    return {-active, kMaxWarmUpPeriod - active};
}

int HeldValue(const ControlBinding& binding, int requested, int current)
{
    switch (binding.kind) {
        case ControlKind::Choice:
        case ControlKind::RadioBox:
            return requested >= binding.min && requested <= binding.max ? requested : current;
        case ControlKind::Spin:
        case ControlKind::SteppedSpin:
            break;
    }
    return std::clamp(requested, binding.min, binding.max);
}

EditorModel::EditorModel()
{
    for (const ControlBinding& binding : kEditorBindings)
        controls[Index(binding.control)] = binding.min;
    controls[Index(EditorControl::WarmUpPause)] = 0;
}

DeviceConfiguration EditorModel::Collect() const
{
    DeviceConfiguration config;
    ClearConfiguration(config);
    for (const ControlBinding& binding : kEditorBindings) {
        const int value = controls[Index(binding.control)];
        int32_t& field = config.*binding.field;
        switch (binding.mapping) {
            case Mapping::Value:
                field = value;
                break;
            case Mapping::InputFunction:
                field = EncodeInputFeature(value, Value(PolarityOf(binding.control)));
                break;
            case Mapping::InputPolarity:
                break;  // with its function
            case Mapping::PulsesItem:
                field = PulsesOfItem(value);
                break;
            case Mapping::WarmUpPause:
                field = value + Value(EditorControl::WarmUpActive);
                break;
            case Mapping::ThresholdPercent:
                field = PercentToThreshold(value, Value(EditorControl::TpsMin), Value(EditorControl::TpsMax));
                break;
        }
    }
    CollectMap(blipper, config.BlipperMap);
    CollectMap(shifter, config.ShifterMap);
    return config;
}

void EditorModel::Show(const DeviceConfiguration& record)
{
    const ControlValues requested = RequestedControlValues(record);
    for (const ControlBinding& binding : kEditorBindings) {
        const int at = Index(binding.control);
        if (binding.mapping == Mapping::WarmUpPause) {
            const auto [lowest, highest] = WarmUpPauseRange(Value(EditorControl::WarmUpActive));
            controls[at] = std::clamp(requested[at], lowest, highest);
        } else {
            controls[at] = HeldValue(binding, requested[at], controls[at]);
        }
    }
    ShowMap(record.BlipperMap, blipper);
    ShowMap(record.ShifterMap, shifter);
}

void EditorModel::SetState(const EditorState& state)
{
    controls = state.controls;
    blipper = state.blipper;
    shifter = state.shifter;
}

DeviceConfiguration CollectState(const EditorState& state)
{
    EditorModel model;
    model.SetState(state);
    return model.Collect();
}

std::vector<EditorControl> ValidatedControls()
{
    std::vector<EditorControl> validated(kGearVoltageControls.begin(), kGearVoltageControls.end());
    validated.insert(validated.end(), kGearRatioControls.begin(), kGearRatioControls.end());
    validated.push_back(EditorControl::TpsMin);
    validated.push_back(EditorControl::TpsMax);
    return validated;
}

EditorValidity Validate(const ControlValues& controls)
{
    EditorValidity validity;
    auto value = [&](EditorControl control) { return controls[Index(control)]; };

    std::vector<EditorControl> gears;
    switch (value(EditorControl::GearDetection)) {
        case 0:
            gears.assign(kGearVoltageControls.begin(), kGearVoltageControls.end());
            break;
        case 1:
            gears.assign(kGearRatioControls.begin(), kGearRatioControls.end());
            break;
        default:
            break;
    }
    std::stable_sort(gears.begin(), gears.end(),
                     [&](EditorControl a, EditorControl b) { return value(a) < value(b); });
    for (size_t i = 0; i < gears.size(); ++i) {
        const int here = value(gears[i]);
        const bool duplicate =
            (i > 0 && value(gears[i - 1]) == here) || (i + 1 < gears.size() && value(gears[i + 1]) == here);
        if (duplicate) {
            validity.marked.push_back(gears[i]);
            validity.listed.push_back(gears[i]);
        }
    }

    if (value(EditorControl::TpsMin) == value(EditorControl::TpsMax)) {
        validity.marked.push_back(EditorControl::TpsMin);
        validity.marked.push_back(EditorControl::TpsMax);
        validity.listed.push_back(EditorControl::TpsMax);
    }
    return validity;
}

int InputGivingUpFunction(const ControlValues& controls, int changed)
{
    const int function = controls[Index(kInputFunctionControls[changed])];
    for (int input = 0; input < static_cast<int>(kInputFunctionControls.size()); ++input)
        if (input != changed && controls[Index(kInputFunctionControls[input])] == function)
            return input;
    return -1;
}
