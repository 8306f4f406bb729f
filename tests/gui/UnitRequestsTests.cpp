// What the unit receives during connect, Read, Write and Lock, request by
// request, with edits and their undoing between the commands: undo steps and
// the editors' source add no request and change none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <wx/config.h>
#include <wx/spinctrl.h>

#include "GuiTestSupport.h"
#include "VTX_GUIMain.h"
#include "config/ConfigurationImage.h"
#include "emulator/VirtualBus.h"

namespace {

// Control requests as "IN 0x01" / "OUT 0x00" (the live report's interrupt
// transfers are the poll's, not the command's).
std::vector<std::string> ControlRequests(VirtualUnit& unit)
{
    std::vector<std::string> requests;
    for (const RequestRecord& record : unit.RequestLog()) {
        if (record.kind != RequestRecord::Kind::Control)
            continue;
        char text[16];
        std::snprintf(text, sizeof text, "%s 0x%02X", (record.setup.bmRequestType & 0x80) ? "IN" : "OUT",
                      record.setup.bRequest);
        requests.emplace_back(text);
    }
    unit.ClearRequestLog();
    return requests;
}

void SpinTo(wxSpinCtrl* spin, int value)
{
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(value);
    spin->ProcessWindowEvent(event);
    Pump();
}

void UnplugAll(VirtualBus& bus, VTX_GUIFrame* frame)
{
    for (size_t i = 0; i < bus.UnitCount(); ++i)
        if (bus.IsAttached(bus.UnitAt(i)))
            bus.Unplug(bus.UnitAt(i));
    frame->AutoConnect();
    Pump();
}

}  // namespace

TEST(UnitRequests, ConnectReadWriteLockSendWhatTheyAlwaysSentAndUndoSendsNothing)
{
    VirtualBus* bus = TestBus();
    if (!bus)
        GTEST_SKIP() << "needs the virtual USB bus (run under umockdev-wrapper)";
    VTX_GUIFrame* frame = MainWindow();
    {
        wxConfig settings("Vantrel", "NorvaneLabs", wxEmptyString, wxEmptyString, wxCONFIG_USE_LOCAL_FILE);
        settings.Write("VT000001RefusedFirmwareVersion", 0x7FFFFFFFL);
    }
    UnplugAll(*bus, frame);
    MenuItem(frame, "idConfirmWriting")->Check(false);
    UnitOptions options;
    options.generation = 108;
    options.serial = "VT000001";
    VirtualUnit& unit = bus->AddUnit(options);
    unit.SetConfigurationImage(
        EncodeConfigurationImage(MakeDefaultConfiguration(DefaultsFamily::Gen108), ImageFormat::Long));
    auto* deltaT = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL2");
    auto undo = [frame] {
        wxCommandEvent event(wxEVT_MENU, wxID_UNDO);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
        Pump();
    };
    auto redo = [frame] {
        wxCommandEvent event(wxEVT_MENU, wxID_REDO);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
        Pump();
    };

    frame->AutoConnect();
    Pump();
    // Versions, configuration, FFT setting.
    EXPECT_EQ(ControlRequests(unit), (std::vector<std::string>{"IN 0x01", "IN 0x01", "IN 0x00", "OUT 0x03"}));
    SpinTo(deltaT, 8);
    undo();
    redo();
    EXPECT_TRUE(ControlRequests(unit).empty());

    RunMenuCommand(frame, "idReadConfiguration");
    EXPECT_EQ(ControlRequests(unit), (std::vector<std::string>{"IN 0x04", "IN 0x00"}));
    undo();  // the read
    undo();  // the edit
    redo();
    EXPECT_TRUE(ControlRequests(unit).empty());

    SpinTo(deltaT, 9);
    RunMenuCommand(frame, "idWriteConfiguration");
    EXPECT_EQ(ControlRequests(unit), (std::vector<std::string>{"OUT 0x00"}));
    undo();
    EXPECT_TRUE(ControlRequests(unit).empty());

    RunMenuCommand(frame, "idLockConfiguration");
    EXPECT_EQ(ControlRequests(unit), (std::vector<std::string>{"OUT 0x04"}));
    undo();
    redo();
    EXPECT_TRUE(ControlRequests(unit).empty());
    UnplugAll(*bus, frame);
}
