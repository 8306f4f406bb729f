// The offer of an update to units on the bus, as the window makes it after
// connecting (OfferFirmwareTo): what the unit answers and what the user
// refused before decide (the decision itself: FirmwareOfferTest.cpp).
#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <cstdlib>
#include <optional>

#include "VirtualUnitFixture.h"
#include "gui/VantrelBase.h"
#include "session/FirmwareOffer.h"
#include "session/UserSettings.h"

namespace {

class OfferToTheUnit : public VirtualUnitTest {};

TEST_F(OfferToTheUnit, FollowsTheUnitsVersionsAndTheRefusalKeptForIt)
{
    struct Case {
        const char* what;
        uint16_t generation;
        Personality personality;
        bool validApplication;
        uint16_t hardware;
        std::optional<long> refused;
        bool firmwareUnreadable;
        bool standInsAllowed;
        FirmwareOffer offer;
    };
    const auto App = Personality::Application;
    const auto Boot = Personality::Bootloader;
    const Case cases[] = {
        {"an older application", 107, App, true, 0x0901, std::nullopt, false, true, FirmwareOffer::Ask},
        {"that version refused", 107, App, true, 0x0901, 0x0108, false, true, FirmwareOffer::None},
        {"an older version refused", 107, App, true, 0x0901, 0x0107, false, true, FirmwareOffer::Ask},
        {"up to date", 108, App, true, 0x0901, std::nullopt, false, true, FirmwareOffer::None},
        {"no image for its hardware", 107, App, true, 0x0903, std::nullopt, false, true, FirmwareOffer::None},
        {"in its bootloader, refused", 107, Boot, true, 0x0901, 0x0108, false, true, FirmwareOffer::Ask},
        {"in its bootloader without firmware", 107, Boot, false, 0x0901, std::nullopt, false, true,
         FirmwareOffer::Ask},
        {"in its bootloader, the firmware version unreadable", 107, Boot, true, 0x0901, std::nullopt, true,
         true, FirmwareOffer::WithoutAsking},
#ifdef VANTREL_STANDIN_FIRMWARE
        {"stand-in images not allowed", 107, App, true, 0x0901, std::nullopt, false, false,
         FirmwareOffer::None},
        {"stand-in images not allowed, in the bootloader", 107, Boot, true, 0x0901, std::nullopt, true, false,
         FirmwareOffer::None},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UnitOptions options;
        options.generation = c.generation;
        options.personality = c.personality;
        options.validApplication = c.validApplication;
        options.hardware = c.hardware;
        VirtualUnit& unit = Plug(options);
        unit.SetBootVersion({3, c.hardware, 0x0102});
        VantrelBase connection(RecordOf(unit));
        ASSERT_TRUE(connection.Open());
        wxStringInputStream empty("");
        wxFileConfig store(empty);
        UserSettings settings(store);
        if (c.refused)
            settings.WriteRefusedFirmwareVersion(unit.Serial(), *c.refused);
        // The boot version is read first; the firmware version's request then fails.
        if (c.firmwareUnreadable)
            unit.AddFault([] {
                FaultSpec stall = Fault(FaultKind::Stall, 0x01);
                stall.skip = 1;
                return stall;
            }());
        if (c.standInsAllowed)
            setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);
        else
            unsetenv("VANTREL_ALLOW_STANDIN_FIRMWARE");
        FwFile image{};
        EXPECT_EQ(OfferFirmwareTo(connection, settings, image), c.offer);
        setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);  // as the test run sets it
        // The image the window then writes, or whose version it keeps as refused.
        if (c.offer != FirmwareOffer::None) {
            EXPECT_EQ(image.version, 0x0108u);
            EXPECT_EQ(image.hardware, c.hardware);
        }
        EXPECT_TRUE(unit.FlashLog().empty()) << "an offer writes nothing";
        connection.Close();
    }
}

}  // namespace
