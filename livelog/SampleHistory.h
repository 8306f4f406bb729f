// The poll's recent samples from connect on, whatever page is shown: the
// live chart draws from it when it exists and is shown, and nothing is lost
// while it does not. Keeps the last two minutes (the longest chart span).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "livelog/LogFormat.h"

class SampleHistory {
public:
    static constexpr uint64_t kKeptMs = 120000;

    // A sample at `ms` on a steady clock. An earlier time than the newest
    // held starts a new run of the clock: the older samples go.
    void Add(uint64_t ms, const LiveValues& values);
    void Clear();
    // The unit the next samples come from, by serial number: another unit's
    // samples start afresh, so that no trace joins two units' rides; the
    // same unit connected again keeps what it showed.
    void FromUnit(std::string_view serial);

    // Oldest first; every row at most kKeptMs older than the newest is there.
    const std::vector<LogRow>& Rows() const { return rows; }
    bool Empty() const { return rows.empty(); }
    uint64_t NewestMs() const { return rows.empty() ? 0 : rows.back().ms; }
    // Samples added since the start: tells a reader that something changed.
    uint64_t Added() const { return added; }

private:
    std::vector<LogRow> rows;
    uint64_t added = 0;
    std::string unit;
};
