// Test entry of the GUI suites: the application is built as the program
// builds it (same OnInit against the build's resource.xrs) with a throw-away
// settings store and a virtual bus created before the USB library starts.
// The window enumerates at launch, so every suite runs on the virtual bus
// only: a unit plugged into the tester's machine never takes part. The
// widget suite (VANTREL_BARE_APP) runs on a bare application instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "AppRun.h"
#include "GuiTestSupport.h"
#include "StuckTestWatch.h"
#include "emulator/VirtualBus.h"
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
    // The units of these tests are virtual: the stand-in firmware may go into them.
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 0);
    AppRunOptions options;
#ifdef VANTREL_BARE_APP
    options.kind = AppKind::Bare;
#endif
    options.resourceFolder = VANTREL_GUI_DIR;
    options.homePrefix = "vantrel-gui-home";
    // The toolkit's debug chatter (focus tracking) is left out.
    options.logLevel = wxLOG_Message;
    options.assertHandler = FailOnAssert;
    return RunApp(argv[0], options, [] {
        testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
        if (AppBus())
            listeners.Append(new OnlyVirtualDevices(*AppBus()));
        // Well before ctest's limit for the whole suite.
        listeners.Append(new StuckTestWatch(std::chrono::seconds(180)));
        RefuseUnexpectedDialogs refuseUnexpected;
        refuseUnexpected.Register();
        const int result = RUN_ALL_TESTS();
        refuseUnexpected.Unregister();
        return result;
    });
}
