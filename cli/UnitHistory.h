// The history entries of one unit, kept where and as the window keeps them
// (history/HistoryStore.h): in the unit's folder below DefaultHistoryRoot(),
// with the source "Unit <serial>". Each entry is on disk before Keep returns,
// so that a backup exists before the unit is changed.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "config/DeviceConfiguration.h"
#include "history/HistoryStore.h"

class UnitHistory {
public:
    explicit UnitHistory(std::string serial);

    // Keeps the record under `event` ("read", "write", ...) and waits until it
    // is written; false and `error` set when it could not be.
    bool Keep(const DeviceConfiguration& config, const char* event, std::string& error);
    // The unit's entries, newest first.
    std::vector<HistoryEntry> Entries() const { return store.List(serial); }

private:
    std::string serial;
    std::mutex mutex;
    std::string failure;  // the store's last failure; empty once a write worked
    HistoryStore store;
};
