#include "StuckTestWatch.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

StuckTestWatch::StuckTestWatch(std::chrono::seconds limit) : limit(limit), watcher([this] { Watch(); })
{
    // gdb, started below, is not this process's parent: let it attach.
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
}

StuckTestWatch::~StuckTestWatch()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    watcher.join();
}

void StuckTestWatch::OnTestStart(const testing::TestInfo& test)
{
    std::lock_guard lock(mutex);
    running = std::string(test.test_suite_name()) + "." + test.name();
    started = std::chrono::steady_clock::now();
    changed.notify_all();
}

void StuckTestWatch::OnTestEnd(const testing::TestInfo& /*test*/)
{
    std::lock_guard lock(mutex);
    running.clear();
    changed.notify_all();
}

void StuckTestWatch::Watch()
{
    std::unique_lock lock(mutex);
    while (!stopping) {
        if (running.empty()) {
            changed.wait(lock);
            continue;
        }
        const std::string test = running;
        const auto due = started + limit;
        if (changed.wait_until(lock, due, [&] { return stopping || running != test; }))
            continue;
        std::fprintf(stderr, "\n%s has run for %lld s: stuck. Where each thread is:\n", test.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        const std::string command =
            "gdb -batch -nx -p " + std::to_string(::getpid()) +
            " -ex 'thread apply all bt 30' 1>&2 2>/dev/null || echo '(gdb is not installed)' 1>&2";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "(gdb failed)\n");
        std::abort();
    }
}
