#include "FieldLabels.h"

#include <utility>

#include <wx/string.h>
#include <wx/translation.h>

namespace {

using C = DeviceConfiguration;

// The window's label of each scalar field, without its colon; where the label
// alone is the same on two panels ("Gear 1:"), the panel's title goes first.
constexpr std::pair<ConfigField, const char*> kScalarLabels[] = {
    {&C::InputFeature1, wxTRANSLATE("Input 1")},
    {&C::InputFeature2, wxTRANSLATE("Input 2")},
    {&C::InputFeature3, wxTRANSLATE("Input 3")},
    {&C::InputFeature4, wxTRANSLATE("Input 4")},
    {&C::InputFeature5, wxTRANSLATE("Input 5")},
    {&C::InputFeature6, wxTRANSLATE("Input 6")},
    {&C::PulsesPerTwoRevolutions, wxTRANSLATE("Engine speed signal")},
    {&C::GearNVoltage, wxTRANSLATE("Gear position sensor, neutral")},
    {&C::Gear1Voltage, wxTRANSLATE("Gear position sensor, gear 1")},
    {&C::Gear2Voltage, wxTRANSLATE("Gear position sensor, gear 2")},
    {&C::Gear3Voltage, wxTRANSLATE("Gear position sensor, gear 3")},
    {&C::Gear4Voltage, wxTRANSLATE("Gear position sensor, gear 4")},
    {&C::Gear5Voltage, wxTRANSLATE("Gear position sensor, gear 5")},
    {&C::Gear6Voltage, wxTRANSLATE("Gear position sensor, gear 6")},
    {&C::OutputFeature1, wxTRANSLATE("Output 1")},
    {&C::OutputFeature2, wxTRANSLATE("Output 2")},
    {&C::ShiftLightRPM, wxTRANSLATE("Shift light on at")},
    {&C::WarmupMaxRPM, wxTRANSLATE("Warm-up engine speed limit")},
    {&C::DelayBetweenShifting, wxTRANSLATE("Delay between shifts")},
    {&C::TPSMinVoltage, wxTRANSLATE("Closed throttle")},
    {&C::TPSMaxVoltage, wxTRANSLATE("Open throttle")},
    {&C::TPSThresholdVoltage, wxTRANSLATE("Blipper threshold")},
    {&C::DelayBetweenBlipping, wxTRANSLATE("Delay between blips")},
    {&C::WarmupActiveTime, wxTRANSLATE("Warm-up active time")},
    // The window shows the pause, the period less the active time.
    {&C::WarmUpPeriod, wxTRANSLATE("Warm-up period")},
    {&C::ShiftingMode, wxTRANSLATE("Shifting mode")},
    {&C::DeltaT, wxTRANSLATE("Delta t")},
    {&C::IgnitionMode, wxTRANSLATE("Ignition mode")},
    {&C::NumOfSpeedPulses, wxTRANSLATE("Speed sensor pulses")},
    {&C::Gear1RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 1")},
    {&C::Gear2RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 2")},
    {&C::Gear3RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 3")},
    {&C::Gear4RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 4")},
    {&C::Gear5RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 5")},
    {&C::Gear6RpmSpeedRatio, wxTRANSLATE("Engine speed to wheel speed ratio, gear 6")},
    {&C::GearDetection, wxTRANSLATE("Gear detection method")},
    {&C::WheelCircumference, wxTRANSLATE("Wheel circumference")},
};

// "7,000": the grids' row labels, with the separator of English.
std::string RpmText(int rpm)
{
    const std::string digits = std::to_string(rpm);
    return rpm < 1000 ? digits : digits.substr(0, digits.size() - 3) + "," + digits.substr(digits.size() - 3);
}

// The blipper's first row is the down-shift from gear 2, the shifter's the
// up-shift from gear 1: the grids' column headings.
int GearOf(const RecordField& field)
{
    return field.row + (field.kind == RecordField::Kind::Blipper ? 2 : 1);
}

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

wxString Translated(const LabelLanguage& language, const char* english)
{
    return wxString::FromUTF8(language.Translate(english));
}

}  // namespace

std::string FieldLabel(ConfigField field, const LabelLanguage& language)
{
    for (const auto& [member, label] : kScalarLabels) {
        if (member == field)
            return language.Translate(label);
    }
    return {};
}

std::string FieldLabel(const RecordField& field, const LabelLanguage& language)
{
    if (field.kind == RecordField::Kind::Scalar)
        return FieldLabel(field.field, language);
    const bool blipper = field.kind == RecordField::Kind::Blipper;
    const char* text =
        blipper ? wxTRANSLATE("Blipper map, %s rpm, gear %d") : wxTRANSLATE("Shifter map, %s rpm, gear %d");
    return Utf8(
        wxString::Format(Translated(language, text), RpmText((field.cell + 1) * 1000), GearOf(field)));
}

std::string MapRowLabel(const RecordField& field, const LabelLanguage& language)
{
    const char* text = field.kind == RecordField::Kind::Blipper ? wxTRANSLATE("Blipper map, gear %d")
                                                                : wxTRANSLATE("Shifter map, gear %d");
    return Utf8(wxString::Format(Translated(language, text), GearOf(field)));
}

std::string SummarizeDifferences(const std::vector<FieldDifference>& differences,
                                 const LabelLanguage& language)
{
    if (differences.empty())
        return language.Translate(wxTRANSLATE("no change"));
    std::string summary;
    auto add = [&summary](const std::string& part) {
        if (!summary.empty())
            summary += "; ";
        summary += part;
    };
    for (size_t i = 0; i < differences.size();) {
        const FieldDifference& first = differences[i];
        if (first.field.kind == RecordField::Kind::Scalar) {
            const std::string label = FieldLabel(first.field, language);
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
        const std::string count = language.TranslatePlural("%zu cell", "%zu cells", cells);
        add(MapRowLabel(first.field, language) + ": " +
            Utf8(wxString::Format(wxString::FromUTF8(count), cells)));
        i = end;
    }
    return summary;
}
