// A GUI test that waits for something that never comes (a dialog nobody
// answers, a lock, the X server) would run until ctest ends the whole suite,
// with no word on where it stood. This watch stops such a test after a limit
// and first prints where every thread of the process is (through gdb, when
// it is installed), so that a rare hang leaves its stacks in the log.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class StuckTestWatch : public testing::EmptyTestEventListener {
public:
    explicit StuckTestWatch(std::chrono::seconds limit);
    ~StuckTestWatch() override;
    StuckTestWatch(const StuckTestWatch&) = delete;
    StuckTestWatch& operator=(const StuckTestWatch&) = delete;

    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;

private:
    void Watch();

    const std::chrono::seconds limit;
    std::mutex mutex;
    std::condition_variable changed;
    std::string running;  // the test's full name, empty between tests
    std::chrono::steady_clock::time_point started;
    bool stopping = false;
    std::thread watcher;
};
