// The worst stall of the GUI thread while the main window connects a virtual
// unit (AutoConnect: open, identify, read the configuration, start polling)
// and while the Read command reads it again: a 10 ms heartbeat timer notes
// every time the event loop gets to run, and the longest gap between two
// heartbeats is the stall. Repeated with a fresh unit each run; prints every
// run, then the median and the range.
//
// Run under a display and umockdev's preload, from the build folder:
//   xvfb-run -a umockdev-wrapper tools/bench/stall/vantrel-bench-stall 10

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "AppRun.h"
#include "MainWindowHandle.h"
#include "emulator/VirtualBus.h"
#include "gui/VantrelBase.h"
#include "session/UserSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoalMs = 50.0;

// Runs `work` from inside the event loop with a 10 ms heartbeat; returns the
// longest time between two heartbeats (or from the start or to the end of the
// work), in milliseconds.
double LongestGap(const std::function<void()>& work)
{
    double longest = 0;
    auto last = Clock::now();
    auto note = [&] {
        const auto now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    };
    wxTimer heartbeat;
    heartbeat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { note(); });
    wxGUIEventLoop loop;
    wxTheApp->CallAfter([&] {
        heartbeat.Start(10);
        last = Clock::now();
        work();
        note();
        heartbeat.Stop();
        loop.Exit();
    });
    loop.Run();
    return longest;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintFigure(const char* name, const std::vector<double>& runs)
{
    const auto [low, high] = std::minmax_element(runs.begin(), runs.end());
    std::printf("%-22s median %6.1f ms  (min %6.1f, max %6.1f over %zu runs; goal: at most %.0f ms)\n", name,
                Median(runs), *low, *high, runs.size(), kGoalMs);
}

int Bench(VirtualBus& bus, const MainWindowHandle& frame, int runs)
{
    std::vector<double> connect;
    std::vector<double> read;
    std::printf("%4s %12s %12s\n", "run", "connect ms", "read ms");
    for (int run = 1; run <= runs; ++run) {
        UnitOptions options;
        options.generation = 108;
        options.serial = "BENCHSTALL" + std::to_string(run);
        UserSettings().WriteRefusedFirmwareVersion(options.serial, 0x0108L);
        VirtualUnit& unit = bus.AddUnit(options);
        connect.push_back(LongestGap([&] { frame.AutoConnect(); }));
        if (frame.Device() == nullptr || frame.Device()->GetSerialNumber() != options.serial) {
            std::fprintf(stderr, "run %d: the unit was not connected\n", run);
            return 1;
        }
        read.push_back(LongestGap([&] {
            wxCommandEvent command(wxEVT_MENU, XRCID("idReadConfiguration"));
            command.SetEventObject(frame.Window());
            frame->ProcessWindowEvent(command);
        }));
        std::printf("%4d %12.1f %12.1f\n", run, connect.back(), read.back());
        bus.Unplug(unit);
        frame.AutoConnect();
        RunMainLoopFor(100);
    }
    std::printf("worst GUI-thread stall:\n");
    PrintFigure("connect (AutoConnect)", connect);
    PrintFigure("Read command", read);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    return RunApp(argv[0], BenchmarkOptions(VANTREL_GUI_DIR),
                  [&] { return Bench(*AppBus(), MainWindowHandle(MainWindow()), runs); });
}
