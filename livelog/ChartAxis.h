// The live chart's rules without a display: which stretch of time it shows,
// where a moment falls across the plot and back, which sample a cursor
// stands on, and which bit of a sample each on/off lane shows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "livelog/LogFormat.h"

// The time shown, in the samples' milliseconds: left may be before 0.
struct ChartWindow {
    int64_t left = 0;
    int64_t right = 0;
    bool empty = true;  // nothing to show: no axis either
};

// Live: the newest sample at the right edge ("now") from the first sample on,
// the older ones to its left over `spanMs`.
ChartWindow LiveWindow(const std::vector<LogRow>& rows, uint64_t spanMs);
// Replay keeps the log's own timeline: 0 at the left until the position
// passes the span, then the span up to the position; or the whole log.
ChartWindow ReplayWindow(const std::vector<LogRow>& rows, uint64_t positionMs, uint64_t spanMs, bool whole);

// Across a plot `width` wide starting at `plotLeft`: the x of a moment, and
// the moment at an x (clamped to the window).
double TimeToX(int64_t ms, const ChartWindow& window, double plotLeft, double width);
int64_t XToTime(double x, const ChartWindow& window, double plotLeft, double width);

// Index of the row nearest `ms` among rows[first, last); `last` when empty.
size_t NearestRow(const std::vector<LogRow>& rows, int64_t ms, size_t first, size_t last);
// The rows inside the window: [first, last).
struct RowRange {
    size_t first = 0;
    size_t last = 0;
};
RowRange RowsIn(const std::vector<LogRow>& rows, const ChartWindow& window);

// The on/off lanes below the traces, top to bottom. The names are marked for
// the window's translation catalogue, which translates them where it shows them.
#define CHART_LANE_NAME(text) text
struct ChartLane {
    const char* name;
    uint32_t LiveValues::*field;
};
inline constexpr std::array<ChartLane, 5> kChartLanes = {{
    {CHART_LANE_NAME("in shifter"), &LiveValues::inputShifter},
    {CHART_LANE_NAME("in blipper"), &LiveValues::inputBlipper},
    {CHART_LANE_NAME("ign. cut"), &LiveValues::outputIgnition},
    {CHART_LANE_NAME("inj. cut"), &LiveValues::outputInjection},
    {CHART_LANE_NAME("out blipper"), &LiveValues::outputBlipper},
}};
inline bool LaneOn(const LiveValues& values, size_t lane)
{
    return values.*kChartLanes[lane].field != 0;
}
