// Test entry of the GUI suites: the application is built as the program
// builds it (same OnInit against the build's resource.xrs) with a throw-away
// settings store and a virtual bus created before the USB library starts.
// The window enumerates at launch, so every suite runs on the virtual bus
// only: a unit plugged into the tester's machine never takes part. The
// widget suite (VANTREL_BARE_APP) runs on a bare application instead.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <sys/prctl.h>
#include <unistd.h>
#include <memory>

#include <wx/modalhook.h>
#include <wx/msgdlg.h>

#include "AppRun.h"
#include "GuiTestSupport.h"
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

// A test that waits for what never comes would run until ctest ends the
// suite, without a word on where it stood: after three minutes, gdb prints
// every thread's stack and the run stops. Logs are often cut in the middle:
// the test's name and the window thread's innermost frames come last.
class StuckTestWatch : public testing::EmptyTestEventListener {
public:
    StuckTestWatch()
    {
        prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);  // gdb is not our parent
        std::thread([this] {
            for (;;) {
                std::this_thread::sleep_for(std::chrono::seconds(1));
                const int64_t since = started.load();
                if (since != 0 && Now() - since > 180) {
                    std::fprintf(stderr, "\n%s is stuck. Where each thread is:\n", name.c_str());
                    std::fflush(stderr);
                    const std::string gdb =
                        "gdb -batch -nx -p " + std::to_string(::getpid()) +
                        " -ex 'thread apply all bt 30' -ex 'echo \\nThe window thread:\\n'"
                        " -ex 'thread 1' -ex 'bt 12' 1>&2 2>/dev/null";
                    if (std::system(gdb.c_str()) != 0)
                        std::fprintf(stderr, "(no stacks: gdb failed or is not installed)\n");
                    std::fprintf(stderr, "\nStuck for 180 s: %s\n", name.c_str());
                    std::abort();
                }
            }
        }).detach();
    }
    void OnTestStart(const testing::TestInfo& test) override
    {
        name = std::string(test.test_suite_name()) + "." + test.name();  // read only once started is set
        started = Now();
    }
    void OnTestEnd(const testing::TestInfo&) override { started = 0; }

private:
    static int64_t Now()
    {
        using namespace std::chrono;
        return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count() + 1;
    }
    static inline std::atomic<int64_t> started{0};  // seconds, 0 between tests
    std::string name;
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
        listeners.Append(new StuckTestWatch);
        RefuseUnexpectedDialogs refuseUnexpected;
        refuseUnexpected.Register();
        const int result = RUN_ALL_TESTS();
        refuseUnexpected.Unregister();
        return result;
    });
}
