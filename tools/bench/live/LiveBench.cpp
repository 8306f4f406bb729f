// Measures the main window against virtual units on a umockdev bus:
//
//   poll [seconds]      CPU time per second of wall time while the live
//                       monitor page is shown and a running unit is polled
//                       ten times a second, next to the same window idle.
//   draws [seconds]     the same, and the toolkit's drawing by widget.
//   floor [seconds]     the toolkit's own price of one change shown ten times
//                       a second, in a bare frame (RepaintFloor.h).
//   update              the longest time the event loop goes without handling
//                       events (a 10 ms heartbeat timer) during a complete
//                       firmware update from the update command.
//   screenshots DIR     the live monitor with a running engine and the update
//                       window after an update, as PNG files in DIR.
//
// Run under a display and umockdev's preload, from the build folder:
//   xvfb-run -a umockdev-wrapper tools/bench/live/vantrel-bench-live poll 10
#include <sys/resource.h>
#include <time.h>

#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/evtloop.h>
#include <wx/grid.h>
#include <wx/timer.h>
#include <wx/toplevel.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AppRun.h"
#include "DrawTimes.h"
#include "MainWindowHandle.h"
#include "RepaintFloor.h"
#include "config/ConfigurationImage.h"
#include "emulator/VirtualBus.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/VantrelBase.h"
#include "gui/commands/FwUpdateDialog.h"
#include "session/UserSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

UnitOptions Unit(uint16_t generation, const std::string& serial)
{
    UnitOptions options;
    options.generation = generation;
    options.serial = serial;
    options.restartDelay = std::chrono::milliseconds(150);
    return options;
}

// Counts the paint events of the live page's windows while it exists: the
// raw grid's cell area, and every window together.
class PaintCounter : public wxEventFilter {
public:
    explicit PaintCounter(wxWindow* gridCells) : gridCells(gridCells) { wxEvtHandler::AddFilter(this); }
    ~PaintCounter() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_PAINT) {
            ++all;
            // By class and name: which windows each poll's repaint reaches.
            if (auto* painted = dynamic_cast<wxWindow*>(event.GetEventObject())) {
                ++byWindow[wxString(painted->GetClassInfo()->GetClassName()).ToStdString() + " " +
                           painted->GetName().ToStdString()];
            }
            if (event.GetEventObject() == gridCells) {
                ++grid;
                auto* window = static_cast<wxWindow*>(event.GetEventObject());
                const wxRect box = window->GetUpdateRegion().GetBox();
                gridArea += static_cast<double>(box.width) * box.height;
            }
        }
        return Event_Skip;
    }
    wxWindow* gridCells;
    std::map<std::string, int> byWindow;
    int all = 0;
    int grid = 0;
    double gridArea = 0;
};

struct CpuSample {
    double wall;
    double process;
    double mainThread;
};

CpuSample Measure(int milliseconds)
{
    const auto start = Clock::now();
    const double process = ProcessCpuSeconds();
    const double thread = ThreadCpuSeconds();
    RunMainLoopFor(milliseconds);
    return {std::chrono::duration<double>(Clock::now() - start).count(), ProcessCpuSeconds() - process,
            ThreadCpuSeconds() - thread};
}

void PrintSample(const char* name, const CpuSample& sample)
{
    std::printf(
        "%-8s wall %6.2f s  process CPU %6.3f s (%5.2f %% of a core)  main thread %6.3f s (%5.2f %%)\n", name,
        sample.wall, sample.process, 100.0 * sample.process / sample.wall, sample.mainThread,
        100.0 * sample.mainThread / sample.wall);
}

size_t LiveReads(const VirtualUnit& unit)
{
    size_t reads = 0;
    for (const RequestRecord& record : unit.RequestLog()) {
        reads += record.kind == RequestRecord::Kind::Interrupt ? 1 : 0;
    }
    return reads;
}

int Poll(VirtualBus& bus, const MainWindowHandle& frame, int seconds, bool draws = false)
{
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(500);
    const CpuSample idle = Measure(seconds * 1000);

    VirtualUnit& unit = bus.AddUnit(Unit(108, "BENCHLIVE1"));
    frame.AutoConnect();
    if (!frame.IsPolling()) {
        std::fprintf(stderr, "the unit was not connected\n");
        return 1;
    }
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(500);
    const size_t readsBefore = LiveReads(unit);
    auto* grid = dynamic_cast<wxGrid*>(frame->FindWindow(XRCID("ID_GRID1")));
    PaintCounter paints(grid != nullptr ? grid->GetGridWindow() : nullptr);
    std::optional<DrawTimes> drawTimes;
    if (draws && grid != nullptr) {
        drawTimes.emplace(wxGetTopLevelParent(grid));
    }
    const CpuSample polling = Measure(seconds * 1000);
    const size_t reads = LiveReads(unit) - readsBefore;
    const int gridPaints = paints.grid;
    const int allPaints = paints.all;
    for (const auto& [window, count] : paints.byWindow) {
        std::printf("  painted %4d times: %s\n", count, window.c_str());
    }
    const double gridShare = grid != nullptr && gridPaints > 0
                                 ? paints.gridArea / gridPaints /
                                       (static_cast<double>(grid->GetGridWindow()->GetClientSize().x) *
                                        grid->GetGridWindow()->GetClientSize().y)
                                 : 0.0;

    std::printf("live monitor page shown, %d s each\n", seconds);
    PrintSample("idle", idle);
    PrintSample("polling", polling);
    std::printf("live reads: %zu (%.1f per second)\n", reads, static_cast<double>(reads) / polling.wall);
    std::printf("paint events: %d (%.1f per read); of the raw grid's cells: %d, each over %.0f %% of them\n",
                allPaints, reads > 0 ? static_cast<double>(allPaints) / reads : 0.0, gridPaints,
                100.0 * gridShare);
    std::printf(
        "polling costs %.2f %% of a core beyond idle in the main thread (goal: at most 1 %%), %.2f %% for "
        "the whole process including the virtual unit\n",
        100.0 * (polling.mainThread - idle.mainThread) / polling.wall,
        100.0 * (polling.process - idle.process) / polling.wall);
    if (drawTimes) {
        drawTimes->Print(stdout, polling.wall, 0.05);
    }
    bus.Unplug(unit);
    frame.AutoConnect();
    return 0;
}

// Runs the update command inside the event loop with a heartbeat timer.
int Update(VirtualBus& bus, const MainWindowHandle& frame, double* longestMs = nullptr, bool quiet = false)
{
    VirtualUnit& unit = bus.AddUnit(Unit(107, "BENCHFW" + std::to_string(bus.UnitCount())));
    UserSettings().WriteRefusedFirmwareVersion(unit.Serial(), 0x0108L);
    frame.AutoConnect();

    // Each gap with the step of the update it ended in: the update's yields
    // and waits are marked, so a gap is named after the last mark before its end.
    struct Gap {
        double ms;
        std::string where;
    };
    std::vector<Gap> gaps;
    std::string step = "before the update procedure (dialog, version reads)";
    int yields = 0;
    frame.SetUpdatePacing({[&] {
                               step = "update, after yield " + std::to_string(++yields);
                               DefaultUpdateYield();
                           },
                           [&](uint32_t milliseconds) {
                               step = "update, in a wait";
                               DefaultUpdateSleep(milliseconds);
                               step = "update, after a wait";
                           }});
    auto last = Clock::now();
    wxTimer heartbeat;
    heartbeat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = Clock::now();
        gaps.push_back({std::chrono::duration<double, std::milli>(now - last).count(), step});
        last = now;
    });
    double updateMs = 0;
    wxGUIEventLoop loop;
    wxTheApp->CallAfter([&] {
        heartbeat.Start(10);
        last = Clock::now();
        const auto start = Clock::now();
        wxCommandEvent command(wxEVT_MENU, XRCID("idFirmwareUpdate"));
        command.SetEventObject(frame.Window());
        frame->ProcessWindowEvent(command);
        step = "after the command (reconnect)";
        updateMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        heartbeat.Stop();
        loop.Exit();
    });
    loop.Run();
    frame.SetUpdatePacing({});

    std::sort(gaps.begin(), gaps.end(), [](const Gap& a, const Gap& b) { return a.ms > b.ms; });
    const double longest = gaps.empty() ? updateMs : gaps.front().ms;
    if (longestMs != nullptr) {
        *longestMs = longest;
    }
    if (!quiet) {
        std::printf("firmware update from the command: %.0f ms, unit now at generation %u\n", updateMs,
                    unit.Generation());
        std::printf("event loop heartbeats (10 ms timer): %zu; longest gaps:\n", gaps.size());
        for (size_t i = 0; i < std::min<size_t>(5, gaps.size()); ++i) {
            std::printf("  %5.0f ms  %s\n", gaps[i].ms, gaps[i].where.c_str());
        }
        std::printf("longest event-loop gap during the update: %.0f ms (goal: at most 50 ms)\n", longest);
    }
    return unit.Generation() == 108 ? 0 : 1;
}

// wxScreenDC does not see other top-level windows under GTK 3, so the
// picture is taken from the X server with ImageMagick's import.
bool SaveScreenshot(wxWindow* window, const std::string& path)
{
    window->Raise();
    window->Refresh();
    window->Update();
    RunMainLoopFor(400);
    const wxRect rect = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " +repage '" + path + "'";
    const bool saved = std::system(command.c_str()) == 0;
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write (is ImageMagick installed?)",
                path.c_str(), rect.width, rect.height);
    return saved;
}

int Screenshots(VirtualBus& bus, const MainWindowHandle& frame, const std::string& folder)
{
    VirtualUnit& unit = bus.AddUnit(Unit(108, "VT260801"));
    // A speed sensor, so that the wheel speed shows too.
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.NumOfSpeedPulses = 4;
    config.WheelCircumference = 2000;
    unit.SetConfigurationImage(EncodeConfigurationImage(config, ImageFormat::Long));
    frame.AutoConnect();
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(3200);
    bool ok = SaveScreenshot(frame.Window(), folder + "/live-monitor.png");
    bus.Unplug(unit);
    frame.AutoConnect();

    ok = Update(bus, frame, nullptr, true) == 0 && ok;
    if (FwUpdateDialog* dialog = frame.UpdateDialog()) {
        RunMainLoopFor(500);  // let the gauge paint its final value
        ok = SaveScreenshot(dialog, folder + "/firmware-update.png") && ok;
        dialog->Close();
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "poll";
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);  // the unit is virtual
    return RunApp(argv[0], BenchmarkOptions(VANTREL_GUI_DIR), [&] {
        VirtualBus& bus = *AppBus();
        const MainWindowHandle frame(MainWindow());
        if (mode == "poll" || mode == "draws") {
            return Poll(bus, frame, argc > 2 ? std::max(1, std::atoi(argv[2])) : 10, mode == "draws");
        }
        if (mode == "floor") {
            return RepaintFloor(argc > 2 ? std::max(1, std::atoi(argv[2])) : 10, frame.Window());
        }
        if (mode == "update") {
            return Update(bus, frame);
        }
        if (mode == "screenshots" && argc > 2) {
            return Screenshots(bus, frame, argv[2]);
        }
        std::fprintf(
            stderr,
            "usage: %s poll [seconds] | draws [seconds] | floor [seconds] | update | screenshots DIR\n",
            argv[0]);
        return 2;
    });
}
