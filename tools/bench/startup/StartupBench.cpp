// Start-up of VantrelStudio beside a minimal wxWidgets frame, in one run:
// each program is started several times (alternating), and the time from the
// fork to the first idle event of its main window and the peak resident
// memory are measured. Needs a display (run under xvfb-run). A second probe
// (built from an earlier commit) runs in the same rounds as the baseline.
//
//   vantrel-bench-startup [runs] [baseline-probe]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
    double wallMs = 0;   // fork to the report line
    double selfMs = 0;   // process age as the program saw it
    long hwmKiB = 0;     // VmHWM at the first idle event
    long maxRssKiB = 0;  // ru_maxrss over the whole run
    double cpuMs = 0;    // user and system time of the whole run (less moved by other load)
    // VantrelStudio only: process age when OnInit starts (toolkit ready) and
    // when it returns (layouts loaded, window built); -1 when not reported.
    double toolkitMs = -1;
    double builtMs = -1;
};

bool RunOnce(const std::string& program, const std::string& folder, Sample& sample)
{
    int out[2];
    if (pipe(out) != 0)
        return false;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    double wallMs = -1;
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0) {
        if (wallMs < 0)
            wallMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        text.append(buffer, static_cast<size_t>(got));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const size_t at = text.find("startup_ms=");
    if (at == std::string::npos ||
        std::sscanf(text.c_str() + at, "startup_ms=%lf vmhwm_kib=%ld", &sample.selfMs, &sample.hwmKiB) != 2)
        return false;
    const size_t toolkit = text.find("toolkit_ready_ms=");
    if (toolkit != std::string::npos)
        std::sscanf(text.c_str() + toolkit, "toolkit_ready_ms=%lf", &sample.toolkitMs);
    const size_t built = text.find("window_built_ms=");
    if (built != std::string::npos)
        std::sscanf(text.c_str() + built, "window_built_ms=%lf", &sample.builtMs);
    sample.wallMs = wallMs;
    sample.maxRssKiB = usage.ru_maxrss;
    sample.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// "min-max" of the values, for the spread beside a median.
std::string Spread(const std::vector<double>& values)
{
    if (values.empty())
        return "-";
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.1f-%.1f", *low, *high);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "needs a display: xvfb-run -a %s\n", argv[0]);
        return 1;
    }
    struct Program {
        const char* name;
        std::string path;
        std::vector<Sample> samples;
    };
    std::vector<Program> programs{{"VantrelStudio", VANTREL_STARTUP_PROBE, {}},
                                  {"minimal wxFrame", VANTREL_MINIMAL_FRAME, {}}};
    if (argc > 2)
        programs.push_back({"baseline", argv[2], {}});

    // Alternate the two so that caches and load treat both alike; the first
    // round only warms up the file cache.
    for (int round = 0; round <= runs; ++round) {
        for (Program& program : programs) {
            Sample sample;
            if (!RunOnce(program.path, VANTREL_GUI_DIR, sample)) {
                std::fprintf(stderr, "%s did not report\n", program.path.c_str());
                return 1;
            }
            if (round > 0)
                program.samples.push_back(sample);
        }
    }

    std::printf("%-16s %14s %14s %14s %14s %16s %10s %14s\n", "program", "to idle [ms]", "self [ms]",
                "VmHWM [KiB]", "maxrss [KiB]", "to idle min-max", "cpu [ms]", "cpu min-max");
    double medians[3][3] = {};
    for (size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> wall, self, hwm, rss, cpu;
        for (const Sample& s : programs[i].samples) {
            cpu.push_back(s.cpuMs);
            wall.push_back(s.wallMs);
            self.push_back(s.selfMs);
            hwm.push_back(static_cast<double>(s.hwmKiB));
            rss.push_back(static_cast<double>(s.maxRssKiB));
        }
        medians[i][0] = Median(wall);
        medians[i][1] = Median(hwm);
        medians[i][2] = Median(rss);
        std::printf("%-16s %14.1f %14.1f %14.0f %14.0f %16s %10.1f %14s\n", programs[i].name, Median(wall),
                    Median(self), Median(hwm), Median(rss), Spread(wall).c_str(), Median(cpu),
                    Spread(cpu).c_str());
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        if (i == 1)
            continue;  // the minimal frame has no phases
        std::vector<double> toolkit, built, own, ratios;
        for (size_t run = 0; run < programs[i].samples.size(); ++run) {
            const Sample& s = programs[i].samples[run];
            toolkit.push_back(s.toolkitMs);
            built.push_back(s.builtMs);
            own.push_back(s.builtMs - s.toolkitMs);
            ratios.push_back(s.wallMs / programs[1].samples[run].wallMs);
        }
        const char* name = programs[i].name;
        std::printf("%s phases (process age, median): toolkit ready %.1f ms, window built %.1f ms\n", name,
                    Median(toolkit), Median(built));
        const double timeRatio = medians[i][0] / medians[1][0];
        const double memoryRatio = medians[i][1] / medians[1][1];
        std::printf(
            "ratio %s / minimal: time %.2f (goal <= 1.30; runs %s), peak memory %.2f (goal <= 1.20)\n", name,
            timeRatio, Spread(ratios).c_str(), memoryRatio);
        // The program's own part: from the toolkit being ready to the window
        // built (layouts, frame, settings), beside the ratio that the
        // desktop's own start-up moves.
        std::printf("%s own window build: %.1f ms (runs %s)\n", name, Median(own), Spread(own).c_str());
    }
    std::printf("medians of %d runs each\n", runs);
    return 0;
}
