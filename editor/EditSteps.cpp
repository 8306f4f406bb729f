#include "editor/EditSteps.h"

#include <array>

namespace {

// In the order of EditorControl.
constexpr std::array<const char*, kEditorControlCount> kStepNames = {
    "Input 1 function", "Input 1 polarity",  "Input 2 function",    "Input 2 polarity", "Input 3 function",
    "Input 3 polarity", "Input 4 function",  "Input 4 polarity",    "Input 5 function", "Input 5 polarity",
    "Input 6 function", "Input 6 polarity",  "RPM pulses",          "Neutral voltage",  "Gear 1 voltage",
    "Gear 2 voltage",   "Gear 3 voltage",    "Gear 4 voltage",      "Gear 5 voltage",   "Gear 6 voltage",
    "Gear 1 ratio",     "Gear 2 ratio",      "Gear 3 ratio",        "Gear 4 ratio",     "Gear 5 ratio",
    "Gear 6 ratio",     "Gear detection",    "Wheel circumference", "Speed pulses",     "Output 1",
    "Output 2",         "Shift light speed", "Shifting delay",      "TPS minimum",      "TPS maximum",
    "TPS threshold",    "Blipping delay",    "Warm-up time",        "Warm-up pause",    "Warm-up speed limit",
    "Shifting mode",    "Delta t",           "Ignition mode",
};

// The calibration panels' buttons end in the gear: 1 ... 6, or N for neutral.
std::string GearButtonStep(std::string_view gear, const char* what)
{
    if (gear == "N")
        return std::string("Take neutral ") + what;
    if (gear.size() == 1 && gear[0] >= '1' && gear[0] <= '6')
        return "Take gear " + std::string(gear) + " " + what;
    return {};
}

}  // namespace

const char* EditStepName(EditorControl control)
{
    return kStepNames[static_cast<size_t>(control)];
}

const char* MapCellStepName(MapGridKind kind)
{
    return kind == MapGridKind::Blipper ? "Blipper map cell" : "Shifter map cell";
}

std::string TakeValueStepName(std::string_view buttonName)
{
    if (buttonName == "ID_BUTTON11")
        return "Take TPS minimum";
    if (buttonName == "ID_BUTTON10")
        return "Take TPS maximum";
    if (buttonName == "ID_BUTTON12")
        return "Take TPS threshold";
    constexpr std::string_view voltage = "GEAR_VOLTAGE_BTN_";
    constexpr std::string_view ratio = "GEAR_RPMSPEED_BTN_";
    if (buttonName.starts_with(voltage))
        return GearButtonStep(buttonName.substr(voltage.size()), "voltage");
    if (buttonName.starts_with(ratio))
        return GearButtonStep(buttonName.substr(ratio.size()), "ratio");
    return {};
}
