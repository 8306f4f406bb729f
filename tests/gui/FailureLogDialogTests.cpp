// A request that fails while the firmware update window is the log target:
// the window shows the update's own lines only, and the failure goes to the
// user's log file.
#include <gtest/gtest.h>

#include <wx/textctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "GuiTestSupport.h"
#include "device/DeviceRequests.h"
#include "gui/commands/FwUpdateDialog.h"
#include "session/FailureLog.h"

TEST_F(OnVirtualBus, FailedRequestIsLoggedToTheFileAndNotShownInTheUpdateWindow)
{
    char folder[] = "/tmp/vantrel-state-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string state = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    setenv("XDG_STATE_HOME", folder, 1);
    // Even with the failure records let through, the window must not show them.
    wxLog::AddTraceMask(FAILURE_TRACE_MASK);
    UnitOptions options;
    options.generation = 107;
    options.serial = "FL000001";
    options.validApplication = true;
    VirtualUnit& unit = bus->AddUnit(options);
    unit.SetBootVersion({3, UNIT_HARDWARE, 0x0102});
    UserSettings().WriteRefusedFirmwareVersion("FL000001", 0x0108L);  // no offer at connecting
    Launch();
    FaultSpec stall;
    stall.target = REQ_FLASH;  // the erase
    unit.AddFault(stall);

    RunMenuCommand(frame, "idFirmwareUpdate");
    wxLog::RemoveTraceMask(FAILURE_TRACE_MASK);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    ASSERT_NE(frame->GetFwUpdateDialog(), nullptr);
    EXPECT_EQ(frame->GetFwUpdateDialog()->GetLogText()->GetValue().utf8_string(),
              "Current boot version: 0003.0901.0102.\n"
              "Current firmware version: 0003.0901.0107.\n"
              "Firmware is gonna be updated to version: 0003.0901.0108.\n"
              "Upgrading firmware, do NOT disconnect the device from the PC during upgrade process!!\n"
              "Waiting for bootloader...\n"
              "Deleting flash memory.\n"
              "It was not possible to erase flash memory, error: -9.\n"
              "Firmware update failed!\n");
    std::stringstream text;
    text << std::ifstream(std::filesystem::path(folder) / "vantrelstudio" / "vantrel.log").rdbuf();
    EXPECT_NE(
        text.str().find(" erase flash (0x02 OUT) failed: LIBUSB_ERROR_PIPE; returned -9 to the caller\n"),
        std::string::npos)
        << text.str();
    std::filesystem::remove_all(folder);
}
