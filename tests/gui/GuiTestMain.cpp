// Test entry of the GUI suites: the application is built as the program
// builds it (same OnInit against the build's resource.xrs) with a throw-away
// settings store and a virtual bus created before the USB library starts.
// The window enumerates at launch, so every suite runs on the virtual bus
// only: a unit plugged into the tester's machine never takes part.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "GuiTestSupport.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"
#include "usb/UsbConnection.h"
#include "usb/UsbDeviceList.h"

namespace {

// Toolkit assertions (an unexpected dialog in wxTEST_DIALOG among them) fail
// the running test instead of opening a dialog nobody answers.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
}

// A modal dialog that no wxTEST_DIALOG expects would wait for a user forever:
// fail the test and dismiss it. Test expectations are asked first.
class RefuseUnexpectedDialogs : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override
    {
        wxString text = dialog->GetTitle();
        if (auto* message = dynamic_cast<wxMessageDialog*>(dialog))
            text += ": " + message->GetMessage();
        ADD_FAILURE() << "unexpected modal dialog " << text.utf8_str();
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

// Before and after every test, each device that libusb lists must be one of
// the virtual bus's devices (attached or just pulled).
class OnlyVirtualDevices : public testing::EmptyTestEventListener {
public:
    explicit OnlyVirtualDevices(VirtualBus& bus) : bus(bus) {}
    void OnTestStart(const testing::TestInfo&) override { Check(); }
    void OnTestEnd(const testing::TestInfo&) override { Check(); }

private:
    bool OnTheBus(const UsbDevice& device)
    {
        if (device.busNumber != bus.BusNumber())
            return false;
        for (size_t i = 0; i < bus.UnitCount(); ++i) {
            const UnitOptions& unit = bus.UnitAt(i).Options();
            if (device.vendorId == unit.vendorId && device.productId == unit.productId &&
                device.serialNumber == (unit.hasSerialString ? unit.serial : std::string()))
                return true;
        }
        return false;
    }
    void Check()
    {
        std::unique_ptr<UsbDeviceList> all(EnumerateDevices());
        for (UsbDevice* device = all->GetFirst(); device; device = all->GetNext())
            if (!OnTheBus(*device))
                ADD_FAILURE() << "a USB device that is not on the virtual bus: "
                              << wxString::Format("%04x:%04x \"%s\" at ", device->vendorId, device->productId,
                                                  device->serialNumber)
                                     .utf8_str()
                              << FormatUsbPath(device->busNumber, device->portNumber, device->deviceAddress);
    }

    VirtualBus& bus;
};

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);

    // Never the tester's own settings.
    char homeTemplate[] = "/tmp/vantrel-gui-home-XXXXXX";
    const char* home = mkdtemp(homeTemplate);
    if (!home)
        return 2;
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", (std::string(home) + "/.config").c_str(), 1);
    // The units of these tests are virtual: the stand-in firmware may go into them.
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 0);

    if (!VirtualBus::InMockEnvironment()) {
        std::fputs(
            "Run under umockdev-wrapper (ctest does): the main window enumerates USB devices, "
            "and these tests must see the virtual bus only.\n",
            stderr);
        return 2;
    }
    auto bus = std::make_unique<VirtualBus>();
    SetTestBus(bus.get());
    auto usb = std::make_unique<UsbConnection>();
    testing::UnitTest::GetInstance()->listeners().Append(new OnlyVirtualDevices(*bus));

    if (chdir(VANTREL_GUI_DIR) != 0)
        return 2;
    auto* app = new VTX_GUIApp;
    wxApp::SetInstance(app);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv))
        return 2;
    wxSetAssertHandler(FailOnAssert);
    // Log messages go to stderr instead of modal boxes nobody would answer;
    // the toolkit's debug chatter (focus tracking) is left out.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::SetLogLevel(wxLOG_Message);
    app->SetResourceFolders({VANTREL_GUI_DIR});
    if (!app->CallOnInit())
        return 3;
    // Errors now go to stderr too (OnInit may have replaced nothing, but be sure).
    delete wxLog::SetActiveTarget(new wxLogStderr);

    RefuseUnexpectedDialogs refuseUnexpected;
    refuseUnexpected.Register();
    const int result = RUN_ALL_TESTS();
    refuseUnexpected.Unregister();

    if (VTX_GUIFrame* frame = app->GetMainWindow())
        delete frame;
    app->OnExit();
    wxEntryCleanup();
    usb.reset();
    bus.reset();
    std::string command = std::string("rm -rf '") + home + "'";
    if (std::system(command.c_str()) != 0)
        return result ? result : 4;
    return result;
}
