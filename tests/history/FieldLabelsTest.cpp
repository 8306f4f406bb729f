// The names people read for the fields, as the window labels them.
#include <gtest/gtest.h>

#include <set>

#include "config/SettingsKeys.h"
#include "history/FieldLabels.h"

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
