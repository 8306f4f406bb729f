// Measures watching the engine against virtual units on a umockdev bus:
//
//   poll [seconds]       main-thread CPU per second of wall time: idle, the
//                        plain live page polling a running unit (chart
//                        hidden), the same with logging, and the page with
//                        the chart shown and logging on; the event loop's longest pause while
//                        logging, and the longest time one row takes to queue.
//   replay               writes a one-hour log (36,000 rows), then times
//                        "Open log" up to the first row shown, and seeks.
//   record FILE [secs]   logs a virtual unit's ride into FILE (the sample log
//                        in docs/ is made so).
//
// Run under a display and umockdev's preload, from the build folder:
//   xvfb-run -a umockdev-wrapper tools/bench/logging/vantrel-bench-logging poll 10
#include <unistd.h>

#include <wx/app.h>
#include <wx/timer.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AppRun.h"
#include "MainWindowHandle.h"
#include "emulator/VirtualBus.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LogReplay.h"
#include "livelog/LogWriter.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

struct Sample {
    double wall;
    double mainThread;
    double longestGapMs;
};

// Main-thread CPU over `milliseconds`, and the longest pause of a 10 ms
// heartbeat.
Sample Measure(int milliseconds)
{
    std::vector<Clock::time_point> beats;
    wxTimer heartbeat;
    heartbeat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { beats.push_back(Clock::now()); });
    heartbeat.Start(10);
    const auto start = Clock::now();
    const double thread = ThreadCpuSeconds();
    RunMainLoopFor(milliseconds);
    heartbeat.Stop();
    double gap = 0;
    for (size_t i = 1; i < beats.size(); ++i) {
        gap = std::max(gap, Ms(beats[i] - beats[i - 1]));
    }
    return {std::chrono::duration<double>(Clock::now() - start).count(), ThreadCpuSeconds() - thread, gap};
}

double Percent(const Sample& sample)
{
    return 100.0 * sample.mainThread / sample.wall;
}

VirtualUnit& Connect(VirtualBus& bus, const MainWindowHandle& frame, const char* serial)
{
    UnitOptions options;
    options.serial = serial;
    VirtualUnit& unit = bus.AddUnit(options);
    frame.AutoConnect();
    return unit;
}

int Poll(VirtualBus& bus, const MainWindowHandle& frame, int seconds)
{
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(500);
    const Sample idle = Measure(seconds * 1000);
    Connect(bus, frame, "BENCHLOG01");
    if (!frame.IsPolling()) {
        std::fprintf(stderr, "the unit was not connected\n");
        return 1;
    }
    ShowPage(frame.Frame(), "ID_PANEL7");
    char folder[] = "/tmp/vantrel-bench-logs-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return 2;
    }
    frame.Logging().SetFolder(folder);
    RunMainLoopFor(3000);  // the engine leaves idle
    // The engine's ride changes what the page repaints, so the two ways are
    // measured in turns of one second over the same stretch of the ride.
    Sample plain{}, watched{};
    size_t rows = 0;
    auto add = [](Sample& sum, const Sample& part) {
        sum.wall += part.wall;
        sum.mainThread += part.mainThread;
        sum.longestGapMs = std::max(sum.longestGapMs, part.longestGapMs);
    };
    for (int turn = 0; turn < seconds; ++turn) {
        frame.Chart()->Hide();
        RunMainLoopFor(100);
        add(plain, Measure(1000));
        frame.Chart()->Show();
        frame.Logging().Start();
        RunMainLoopFor(100);
        add(watched, Measure(1000));
        rows += frame.Logging().Rows();
        frame.Logging().Stop(kLogStoppedLine);
    }

    std::printf("%d s idle, then %d turns of 1 s each way; main thread CPU of one core:\n", seconds, seconds);
    std::printf("  idle                          %5.2f %%\n", Percent(idle));
    std::printf("  plain live page (no chart)    %5.2f %%\n", Percent(plain));
    std::printf("  live page, chart and logging  %5.2f %%  (%zu rows logged)\n", Percent(watched), rows);
    std::printf("chart and logging beyond the plain page: %.2f %% of a core\n",
                Percent(watched) - Percent(plain));
    std::printf("beyond idle: plain %.2f %%, chart and logging %.2f %% (goal: at most 1.5 %%)\n",
                Percent(plain) - Percent(idle), Percent(watched) - Percent(idle));
    std::printf("longest event loop pause while logging: %.1f ms (plain: %.1f ms)\n", watched.longestGapMs,
                plain.longestGapMs);

    // The GUI thread's own share of writing a row: formatting and queueing.
    std::string error;
    const std::string path = std::string(folder) + "/stall.csv";
    auto writer = LogWriter::Create(path, error);
    double longest = 0;
    LogRow row;
    row.wallClock = "2026-12-08 06:00:00.000";
    for (uint64_t i = 0; i < 3000; ++i) {
        row.ms = i * 100;
        row.values.rpm = static_cast<uint32_t>(2000 + i % 14000);
        const auto start = Clock::now();
        writer->Append(row);
        longest = std::max(longest, Ms(Clock::now() - start));
        usleep(1000);
    }
    writer->Finish(kLogStoppedLine);
    std::printf("longest GUI-thread time of one logged row: %.3f ms over 3000 rows (goal: at most 5 ms)\n",
                longest);
    std::system((std::string("rm -rf '") + folder + "'").c_str());
    return 0;
}

int Replay(const MainWindowHandle& frame)
{
    const std::string path = "/tmp/vantrel-bench-hour-" + std::to_string(getpid()) + ".csv";
    {
        std::string error;
        auto writer = LogWriter::Create(path, error);
        if (!writer) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            return 2;
        }
        LogRow row;
        row.wallClock = "2026-12-08 06:00:00.000";
        for (uint64_t i = 0; i < 36000; ++i) {
            row.ms = i * 100;
            row.values.rpm = static_cast<uint32_t>(2000 + (i * 37) % 14000);
            row.values.gear = static_cast<uint32_t>(i / 50 % 7);
            row.values.inputShifter = static_cast<uint32_t>(i % 40 == 0);
            writer->Append(row);
        }
    }
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(300);
    LogReplay& replay = frame.Replay();
    auto start = Clock::now();
    const bool opened = replay.Open(path);
    wxTheApp->Yield();  // the first paint of the chart
    const double openMs = Ms(Clock::now() - start);
    if (!opened) {
        return 1;
    }
    double longestSeek = 0;
    for (int whole = 0; whole < 2; ++whole) {
        replay.ShowWhole(whole == 1);
        for (uint64_t i = 0; i < 20; ++i) {
            start = Clock::now();
            replay.SeekTo((i * 7919 % 36) * 100000);
            frame.Chart()->Update();  // paint now, not later
            longestSeek = std::max(longestSeek, Ms(Clock::now() - start));
        }
    }
    replay.Close();
    std::remove(path.c_str());
    std::printf(
        "one-hour log (36,000 rows): open and show %.0f ms (goal: within 1 s), longest seek with "
        "the chart painted %.1f ms (goal: within 100 ms)\n",
        openMs, longestSeek);
    return 0;
}

int Record(VirtualBus& bus, const MainWindowHandle& frame, const std::string& file, int seconds)
{
    Connect(bus, frame, "VT000001");
    ShowPage(frame.Frame(), "ID_PANEL7");
    RunMainLoopFor(300);
    char folder[] = "/tmp/vantrel-bench-record-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        return 2;
    }
    frame.Logging().SetFolder(folder);
    if (!frame.Logging().Start()) {
        return 1;
    }
    const std::string path = frame.Logging().Path().utf8_string();
    RunMainLoopFor(seconds * 1000);
    frame.Logging().Stop(kLogStoppedLine);
    const int moved = std::system(("mv '" + path + "' '" + file + "'").c_str());
    std::system((std::string("rm -rf '") + folder + "'").c_str());
    std::printf("logged %d s into %s\n", seconds, file.c_str());
    return moved == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "poll";
    // The stand-in images let the update offer appear without the real ones.
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);
    return RunApp(argv[0], BenchmarkOptions(VANTREL_GUI_DIR), [&] {
        VirtualBus& bus = *AppBus();
        const MainWindowHandle frame(MainWindow());
        if (mode == "poll")
            return Poll(bus, frame, argc > 2 ? std::max(1, std::atoi(argv[2])) : 10);
        if (mode == "replay")
            return Replay(frame);
        if (mode == "record" && argc > 2)
            return Record(bus, frame, argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 20);
        std::fprintf(stderr, "usage: %s poll [seconds] | replay | record FILE [seconds]\n", argv[0]);
        return 2;
    });
}
