// The poll of the unit's live report and the accounting of the unit's
// failures that every request to it shares.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "device/LiveData.h"

class Connection;

// How the unit's failures are borne: an interrupted transfer says nothing
// about the unit; up to three failures in a row are borne, each good answer
// takes one back, and the fourth in a row gives the unit up.
class DeviceErrorCount {
public:
    static constexpr int32_t kBorne = 3;

    // Counts the answer of a request (0 for a good one); true when it gives
    // the unit up.
    bool Account(int32_t status);
    int32_t Count() const { return count; }
    void Reset() { count = 0; }

private:
    int32_t count = 0;
};

// One read of the live report each time the owner's timer asks: a good report
// goes to every listener (the live view, the maps, the chart, the log), a
// failure to the count.
class LivePoll {
public:
    using Listener = std::function<void(const LiveValues& values, const LiveRaw& raw)>;

    explicit LivePoll(Connection& connection) : connection(connection) {}

    void Listen(Listener listener) { listeners.push_back(std::move(listener)); }
    // Reads the report once; false when its failure gave the unit up (the
    // owner then replaces the connection).
    bool Read();
    DeviceErrorCount& Errors() { return errors; }

private:
    Connection& connection;
    DeviceErrorCount errors;
    std::vector<Listener> listeners;
};
