// What both start-up programs report at their first idle event, one line on
// standard output: the process's age in ms (from its start as the kernel
// recorded it) and its peak resident memory (VmHWM) in KiB.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

inline double ProcessAgeMs()
{
    // Field 22 of /proc/self/stat: start time in clock ticks since boot.
    FILE* stat = std::fopen("/proc/self/stat", "r");
    if (!stat)
        return -1;
    char buffer[1024] = {};
    const size_t length = std::fread(buffer, 1, sizeof buffer - 1, stat);
    std::fclose(stat);
    buffer[length] = '\0';
    const char* fields = std::strrchr(buffer, ')');  // the command name may hold spaces
    if (!fields)
        return -1;
    unsigned long long startTicks = 0;
    // After ')': state is field 3; start time is field 22.
    if (std::sscanf(fields + 2,
                    "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                    &startTicks) != 1)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

inline long PeakResidentKiB()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1)
            break;
    std::fclose(status);
    return kib;
}

inline void ReportStartup()
{
    std::printf("startup_ms=%.1f vmhwm_kib=%ld\n", ProcessAgeMs(), PeakResidentKiB());
    std::fflush(stdout);
}
