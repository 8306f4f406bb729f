// The names of the undo steps of the take-value buttons, by the buttons'
// layout names.
#include <gtest/gtest.h>

#include "editor/EditSteps.h"

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
        {"GEAR_VOLTAGE_BTN_12", ""},
        {"ID_BTN_REFRESH", ""},
    };
    for (const auto& [button, step] : cases)
        EXPECT_EQ(TakeValueStepName(button), step) << button;
}
