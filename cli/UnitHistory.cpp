#include "cli/UnitHistory.h"

#include <chrono>
#include <utility>

UnitHistory::UnitHistory(std::string serial) : serial(std::move(serial)), store(DefaultHistoryRoot())
{
    store.SetFailureHandler([this](const std::string& line) {
        const std::lock_guard lock(mutex);
        failure = line;
    });
}

bool UnitHistory::Keep(const DeviceConfiguration& config, const char* event, std::string& error)
{
    if (store.Root().empty()) {
        error = "History not kept: there is no home folder to keep it in";
        return false;
    }
    HistoryRecord record;
    record.config = config;
    record.unit = serial;
    record.event = event;
    record.source = "Unit " + serial;
    record.time = std::chrono::system_clock::now();
    store.Keep(record);
    store.Flush();
    const std::lock_guard lock(mutex);
    error = failure;
    return failure.empty();
}
