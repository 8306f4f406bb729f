// Times the complete firmware update against the virtual unit: the library's
// 19060-byte image onto a unit running generation 107, from the activation of
// the bootloader to the new application being found again. It prints the wall
// time of each run, the time the update is obliged to sleep (its 500 ms waits
// for the restarted unit) and the difference, which is what the program adds
// on top: USB traffic, enumeration, logging.
//
// Run under umockdev's preload:  umockdev-wrapper ./vantrel-bench-firmware [runs]
#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "emulator/VirtualBus.h"
#include "fwimages/FwFile.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/VantrelBase.h"
#include "usb/UsbConnection.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Keeps the update's messages off the terminal and notes when each step
// began, so that the time can be split by step.
class QuietLog : public wxLog {
public:
    struct Mark {
        std::string text;
        Clock::time_point when;
    };
    std::vector<Mark> marks;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override
    {
        if (level != wxLOG_Progress) {
            marks.push_back({msg.ToStdString(), Clock::now()});
        }
    }
};

std::unique_ptr<VantrelBase> Connect(const std::string& serial)
{
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
    for (UsbDevice* device = list->GetFirst(); device != nullptr; device = list->GetNext()) {
        if (device->serialNumber == serial) {
            auto connection = std::make_unique<VantrelBase>(*device);
            return connection->Open() ? std::move(connection) : nullptr;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    if (!VirtualBus::InMockEnvironment()) {
        std::fprintf(stderr, "Run me under umockdev-wrapper: the virtual unit needs umockdev's preload.\n");
        return 2;
    }
    VirtualBus bus;  // before libusb is initialised
    UsbConnection usb;
    wxInitializer wx;

    FwFile image{};
    if (GetFwFile(0x0901, 3, 0, &image) != 1) {
        std::fprintf(stderr, "The library has no image for hardware 0x0901.\n");
        return 1;
    }

    QuietLog log;
    wxLog* previous = wxLog::SetActiveTarget(&log);
    uint64_t mandatedMs = 0;
    Clock::duration slept{};
    const UpdatePacing pacing{{}, [&](uint32_t milliseconds) {
                                  mandatedMs += milliseconds;
                                  const auto start = Clock::now();
                                  DefaultUpdateSleep(milliseconds);
                                  slept += Clock::now() - start;
                              }};

    std::printf("firmware update of %u bytes, %d run(s)\n", image.size, runs);
    std::printf("%4s %10s %12s %12s %12s\n", "run", "wall ms", "mandated ms", "slept ms", "beyond ms");
    int failures = 0;
    double worstBeyond = 0;
    for (int run = 1; run <= runs; ++run) {
        UnitOptions options;
        options.generation = 107;
        options.serial = "BENCH" + std::to_string(run);
        // Back before the first 500 ms wait ends, as a real unit is.
        options.restartDelay = std::chrono::milliseconds(150);
        VirtualUnit& unit = bus.AddUnit(options);
        auto connection = Connect(options.serial);
        if (!connection) {
            std::fprintf(stderr, "run %d: the unit did not open\n", run);
            return 1;
        }
        mandatedMs = 0;
        slept = {};
        log.marks.clear();
        const auto start = Clock::now();
        const int32_t result = connection->UpdateFirmware(image, pacing);
        const auto end = Clock::now();
        const double wall = Milliseconds(end - start);
        const double beyond = wall - static_cast<double>(mandatedMs);
        worstBeyond = std::max(worstBeyond, beyond);
        std::printf("%4d %10.1f %12llu %12.1f %12.1f%s\n", run, wall,
                    static_cast<unsigned long long>(mandatedMs), Milliseconds(slept), beyond,
                    result == 0 ? "" : "  FAILED");
        failures += result == 0 ? 0 : 1;
        // Where the time went: from each message to the next one.
        for (size_t i = 0; i < log.marks.size(); ++i) {
            const auto until = i + 1 < log.marks.size() ? log.marks[i + 1].when : end;
            std::printf("       %8.1f ms  %s\n", Milliseconds(until - log.marks[i].when),
                        log.marks[i].text.c_str());
        }
        connection.reset();
        bus.Unplug(unit);
    }
    std::printf("worst time beyond the mandated sleeps: %.1f ms (goal: below 300 ms)\n", worstBeyond);

    wxLog::SetActiveTarget(previous);
    return failures == 0 ? 0 : 1;
}
