#include "FieldLabels.h"

#include <utility>

namespace {

using C = DeviceConfiguration;

// The window's label of each scalar field, without its colon; where the label
// alone is the same on two panels ("Gear 1:"), the panel's title goes first.
constexpr std::pair<ConfigField, const char*> kScalarLabels[] = {
    {&C::InputFeature1, "Input 1"},
    {&C::InputFeature2, "Input 2"},
    {&C::InputFeature3, "Input 3"},
    {&C::InputFeature4, "Input 4"},
    {&C::InputFeature5, "Input 5"},
    {&C::InputFeature6, "Input 6"},
    {&C::PulsesPerTwoRevolutions, "Engine speed signal"},
    {&C::GearNVoltage, "Gear position sensor, neutral"},
    {&C::Gear1Voltage, "Gear position sensor, gear 1"},
    {&C::Gear2Voltage, "Gear position sensor, gear 2"},
    {&C::Gear3Voltage, "Gear position sensor, gear 3"},
    {&C::Gear4Voltage, "Gear position sensor, gear 4"},
    {&C::Gear5Voltage, "Gear position sensor, gear 5"},
    {&C::Gear6Voltage, "Gear position sensor, gear 6"},
    {&C::OutputFeature1, "Output 1"},
    {&C::OutputFeature2, "Output 2"},
    {&C::ShiftLightRPM, "Shift light on at"},
    {&C::WarmupMaxRPM, "Warm-up engine speed limit"},
    {&C::DelayBetweenShifting, "Delay between shifts"},
    {&C::TPSMinVoltage, "Closed throttle"},
    {&C::TPSMaxVoltage, "Open throttle"},
    {&C::TPSThresholdVoltage, "Blipper threshold"},
    {&C::DelayBetweenBlipping, "Delay between blips"},
    {&C::WarmupActiveTime, "Warm-up active time"},
    // The window shows the pause, the period less the active time.
    {&C::WarmUpPeriod, "Warm-up period"},
    {&C::ShiftingMode, "Shifting mode"},
    {&C::DeltaT, "Delta t"},
    {&C::IgnitionMode, "Ignition mode"},
    {&C::NumOfSpeedPulses, "Speed sensor pulses"},
    {&C::Gear1RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 1"},
    {&C::Gear2RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 2"},
    {&C::Gear3RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 3"},
    {&C::Gear4RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 4"},
    {&C::Gear5RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 5"},
    {&C::Gear6RpmSpeedRatio, "Engine speed to wheel speed ratio, gear 6"},
    {&C::GearDetection, "Gear detection method"},
    {&C::WheelCircumference, "Wheel circumference"},
};

// "7,000": the grids' row labels, with the separator of English.
std::string RpmText(int rpm)
{
    const std::string digits = std::to_string(rpm);
    return rpm < 1000 ? digits : digits.substr(0, digits.size() - 3) + "," + digits.substr(digits.size() - 3);
}

// The blipper's first row is the down-shift from gear 2, the shifter's the
// up-shift from gear 1: the grids' column headings.
std::string GearOf(const RecordField& field)
{
    return std::to_string(field.row + (field.kind == RecordField::Kind::Blipper ? 2 : 1));
}

}  // namespace

std::string FieldLabel(ConfigField field)
{
    for (const auto& [member, label] : kScalarLabels) {
        if (member == field)
            return label;
    }
    return {};
}

std::string FieldLabel(const RecordField& field)
{
    if (field.kind == RecordField::Kind::Scalar)
        return FieldLabel(field.field);
    const bool blipper = field.kind == RecordField::Kind::Blipper;
    return std::string(blipper ? "Blipper map, " : "Shifter map, ") + RpmText((field.cell + 1) * 1000) +
           " rpm, gear " + GearOf(field);
}

std::string MapRowLabel(const RecordField& field)
{
    return std::string(field.kind == RecordField::Kind::Blipper ? "Blipper map, gear "
                                                                : "Shifter map, gear ") +
           GearOf(field);
}

std::string SummarizeDifferences(const std::vector<FieldDifference>& differences)
{
    if (differences.empty())
        return "no change";
    std::string summary;
    auto add = [&summary](const std::string& part) {
        if (!summary.empty())
            summary += "; ";
        summary += part;
    };
    for (size_t i = 0; i < differences.size();) {
        const FieldDifference& first = differences[i];
        if (first.field.kind == RecordField::Kind::Scalar) {
            const std::string label = FieldLabel(first.field);
            add((label.empty() ? first.name : label) + " " + std::to_string(first.theirs) + " \u2192 " +
                std::to_string(first.ours));
            ++i;
            continue;
        }
        size_t end = i;
        while (end < differences.size() && differences[end].field.kind == first.field.kind &&
               differences[end].field.row == first.field.row)
            ++end;
        const size_t cells = end - i;
        add(MapRowLabel(first.field) + ": " + std::to_string(cells) + (cells == 1 ? " cell" : " cells"));
        i = end;
    }
    return summary;
}
