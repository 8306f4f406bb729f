#include "livelog/SampleHistory.h"

#include <algorithm>

namespace {
// Old samples are dropped in batches of ten seconds, not one per poll.
constexpr uint64_t kDropBatchMs = 10000;
}  // namespace

void SampleHistory::Add(uint64_t ms, const LiveValues& values)
{
    if (!rows.empty() && ms < rows.back().ms) {
        rows.clear();
    }
    LogRow row;
    row.ms = ms;
    row.values = values;
    rows.push_back(std::move(row));
    ++added;
    if (rows.front().ms + kKeptMs + kDropBatchMs < ms) {
        const auto keep = std::lower_bound(rows.begin(), rows.end(), ms - kKeptMs,
                                           [](const LogRow& r, uint64_t time) { return r.ms < time; });
        rows.erase(rows.begin(), keep);
    }
}

void SampleHistory::Clear()
{
    rows.clear();
    ++added;
}

void SampleHistory::FromUnit(std::string_view serial)
{
    if (serial != unit) {
        Clear();
        unit = serial;
    }
}
