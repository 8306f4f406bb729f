// Where the editors' content came from, its edited state, and the names of
// the undo steps.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor/EditSteps.h"
#include "editor/EditorModel.h"
#include "editor/EditorOrigin.h"

namespace {

DeviceConfiguration Defaults()
{
    return MakeDefaultConfiguration(DefaultsFamily::Gen108);
}

}  // namespace

TEST(EditorOrigin, StatusTextNamesTheSourceAndFollowsTheRecord)
{
    const DeviceConfiguration held = Defaults();
    const EditorOrigin unit{{SourceKind::Unit, "VT000001"}, held};
    const EditorOrigin file{{SourceKind::File, "shifter-race.vtn"}, held};
    const EditorOrigin defaults{{SourceKind::Defaults, "1.08"}, held};
    EXPECT_EQ(EditedStateText(unit, held), "Unit VT000001");
    EXPECT_EQ(EditedStateText(file, held), "shifter-race.vtn");
    EXPECT_EQ(EditedStateText(defaults, held), "Defaults of 1.08");

    DeviceConfiguration edited = held;
    edited.ShifterMap[2][5] = 44;
    EXPECT_TRUE(IsEdited(unit, edited));
    EXPECT_EQ(EditedStateText(unit, edited), "Unit VT000001 (edited)");
    // Back to the source's record: no longer edited.
    edited.ShifterMap[2][5] = held.ShifterMap[2][5];
    EXPECT_FALSE(IsEdited(unit, edited));
}

// The edited state compares the record a state makes, so a state shown from
// a record and collected again is the record the editors came from.
TEST(EditorOrigin, AStateMakesTheRecordItsModelCollects)
{
    EditorModel model;
    model.Show(Defaults());
    const EditorState state = model.State();
    EXPECT_EQ(CollectState(state), model.Collect());

    EditorModel other;
    other.SetState(state);
    EXPECT_EQ(other.State(), state);
    EditorState changed = state;
    changed.blipper[3][1] = 150;
    EXPECT_NE(CollectState(changed), model.Collect());
    EXPECT_EQ(CollectState(changed).BlipperMap[1][4], 150);
}

TEST(EditSteps, EveryControlHasAStepNameOfItsOwn)
{
    std::set<std::string> names;
    for (const ControlBinding& binding : kEditorBindings) {
        const std::string name = EditStepName(binding.control);
        EXPECT_FALSE(name.empty()) << binding.name;
        EXPECT_TRUE(names.insert(name).second) << name << " names two controls";
    }
    EXPECT_EQ(std::string(EditStepName(EditorControl::ShiftLightRpm)), "Shift light speed");
    EXPECT_EQ(std::string(EditStepName(EditorControl::Input3Function)), "Input 3 function");
    EXPECT_EQ(std::string(EditStepName(EditorControl::Gear4Ratio)), "Gear 4 ratio");
    EXPECT_EQ(std::string(EditStepName(EditorControl::IgnitionMode)), "Ignition mode");
}

TEST(EditSteps, TakeValueButtonsByName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ID_BUTTON11", "Take TPS minimum"},
        {"ID_BUTTON10", "Take TPS maximum"},
        {"ID_BUTTON12", "Take TPS threshold"},
        {"GEAR_VOLTAGE_BTN_N", "Take neutral voltage"},
        {"GEAR_VOLTAGE_BTN_3", "Take gear 3 voltage"},
        {"GEAR_RPMSPEED_BTN_6", "Take gear 6 ratio"},
        {"GEAR_VOLTAGE_BTN_7", ""},
        {"GEAR_RPMSPEED_BTN_", ""},
        {"ID_BTN_REFRESH", ""},
        {"ID_BUTTON1", ""},
    };
    for (const auto& [button, step] : cases)
        EXPECT_EQ(TakeValueStepName(button), step) << button;
}
