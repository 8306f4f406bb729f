// The names people read for the fields, as the window labels them.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/SettingsKeys.h"
#include "history/FieldLabels.h"
#include "history/SourceLabel.h"

TEST(FieldLabels, EverySettingsKeyHasALabelOfItsOwn)
{
    std::set<std::string> labels;
    for (const SettingsScalarKey& key : SettingsScalarKeys()) {
        const std::string label = FieldLabel(key.field);
        EXPECT_FALSE(label.empty()) << key.name;
        EXPECT_TRUE(labels.insert(label).second) << key.name << " shares \"" << label << "\"";
    }
}

TEST(FieldLabels, NameTheWindowsLabelsAndMapCellsByRpmAndGear)
{
    struct Case {
        RecordField field;
        const char* label;
    };
    using K = RecordField::Kind;
    const Case cases[] = {
        {{K::Scalar, &DeviceConfiguration::TPSMinVoltage}, "Closed throttle"},
        {{K::Scalar, &DeviceConfiguration::ShiftLightRPM}, "Shift light on at"},
        {{K::Blipper, nullptr, 0, 6}, "Blipper map, 7,000 rpm, gear 2"},
        {{K::Shifter, nullptr, 4, 15}, "Shifter map, 16,000 rpm, gear 5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldLabel(c.field), c.label);
}

namespace {

// German for the texts below, by hand; any other text stays as it came, so a
// label that asks for a text the catalogues do not hold shows in English.
class HandGerman : public LabelLanguage {
public:
    std::string Translate(const char* english) const override
    {
        static const std::map<std::string, std::string> texts = {
            {"Closed throttle", "Gas geschlossen"},
            {"Blipper map, %s rpm, gear %d", "Blipper-Kennfeld, %s U/min, Gang %d"},
            {"Blipper map, gear %d", "Blipper-Kennfeld, Gang %d"},
            {"Shifter map, gear %d", "Schaltautomat-Kennfeld, Gang %d"},
            {"no change", "keine Änderung"},
            {"Unit %s", "Steuergerät %s"},
            {"Defaults of %s", "Standardwerte von %s"},
            {"Edited %s", "%s (bearbeitet)"}};
        const auto found = texts.find(english);
        return found == texts.end() ? english : found->second;
    }
    std::string TranslatePlural(const char* one, const char* many, unsigned long n) const override
    {
        EXPECT_EQ(std::string(one) + "|" + many, "%zu cell|%zu cells");
        return n == 1 ? "%zu Zelle" : "%zu Zellen";
    }
};

}  // namespace

TEST(FieldLabels, InTheWindowsLanguageWithTheNumbersAsInEnglish)
{
    const HandGerman german;
    using K = RecordField::Kind;
    EXPECT_EQ(FieldLabel({K::Scalar, &DeviceConfiguration::TPSMinVoltage}, german), "Gas geschlossen");
    EXPECT_EQ(FieldLabel({K::Blipper, nullptr, 0, 6}, german), "Blipper-Kennfeld, 7,000 U/min, Gang 2");
    const std::vector<FieldDifference> differences = {
        {"TPSMinVoltage", {K::Scalar, &DeviceConfiguration::TPSMinVoltage}, 750, 700},
        {"BlipperMap6G16000", {K::Blipper, nullptr, 4, 15}, 100, 90},
        {"ShifterMap3G4000", {K::Shifter, nullptr, 2, 3}, 40, 45},
        {"ShifterMap3G5000", {K::Shifter, nullptr, 2, 4}, 40, 45}};
    EXPECT_EQ(SummarizeDifferences(differences, german),
              "Gas geschlossen 700 \u2192 750; Blipper-Kennfeld, Gang 6: 1 Zelle; "
              "Schaltautomat-Kennfeld, Gang 3: 2 Zellen");
    EXPECT_EQ(SummarizeDifferences({}, german), "keine Änderung");
}

TEST(SourceLabel, TranslatesTheWordsAroundSerialVersionAndFileName)
{
    struct Case {
        const char* event;
        const char* source;
        const char* german;
    };
    const Case cases[] = {
        {"read", "Unit VT000001", "Steuergerät VT000001"},
        {"unsaved", "Edited Defaults of 1.08", "Standardwerte von 1.08 (bearbeitet)"},
        {"quit", "Edited Unit VT000001", "Steuergerät VT000001 (bearbeitet)"},
        {"quit", "Edited shifter-race.vtn", "shifter-race.vtn (bearbeitet)"},
        {"open", "Unit 7.vtn", "Unit 7.vtn"},  // a file's name, whatever it begins with
        {"save", "Edited.vtn", "Edited.vtn"},
        {"read", "", ""},
    };
    for (const Case& c : cases) {
        HistoryRecord record;
        record.event = c.event;
        record.source = c.source;
        EXPECT_EQ(SourceLabel(record, HandGerman()), c.german) << c.source;
        EXPECT_EQ(SourceLabel(record, EnglishLabels()), c.source);
    }
}
