#include "livelog/ChartAxis.h"

#include <algorithm>
#include <cmath>

ChartWindow LiveWindow(const std::vector<LogRow>& rows, uint64_t spanMs)
{
    ChartWindow window;
    if (rows.empty()) {
        return window;
    }
    window.right = static_cast<int64_t>(rows.back().ms);
    window.left = window.right - static_cast<int64_t>(spanMs);
    window.empty = false;
    return window;
}

ChartWindow ReplayWindow(const std::vector<LogRow>& rows, uint64_t positionMs, uint64_t spanMs, bool whole)
{
    ChartWindow window;
    window.empty = false;
    if (whole) {
        window.right = std::max<int64_t>(rows.empty() ? 1 : static_cast<int64_t>(rows.back().ms), 1);
        return window;
    }
    window.right = static_cast<int64_t>(std::max(positionMs, spanMs));
    window.left = window.right - static_cast<int64_t>(spanMs);
    return window;
}

double TimeToX(int64_t ms, const ChartWindow& window, double plotLeft, double width)
{
    const double span = static_cast<double>(std::max<int64_t>(window.right - window.left, 1));
    return plotLeft + width * static_cast<double>(ms - window.left) / span;
}

int64_t XToTime(double x, const ChartWindow& window, double plotLeft, double width)
{
    const double fraction = width > 0 ? std::clamp((x - plotLeft) / width, 0.0, 1.0) : 1.0;
    return window.left + std::llround(fraction * static_cast<double>(window.right - window.left));
}

size_t NearestRow(const std::vector<LogRow>& rows, int64_t ms, size_t first, size_t last)
{
    if (first >= last) {
        return last;
    }
    const auto begin = rows.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = rows.begin() + static_cast<std::ptrdiff_t>(last);
    const auto after = std::lower_bound(
        begin, end, ms, [](const LogRow& r, int64_t time) { return static_cast<int64_t>(r.ms) < time; });
    if (after == end) {
        return last - 1;
    }
    if (after == begin) {
        return first;
    }
    const auto before = after - 1;
    const size_t index = static_cast<size_t>(after - rows.begin());
    return ms - static_cast<int64_t>(before->ms) <= static_cast<int64_t>(after->ms) - ms ? index - 1 : index;
}

RowRange RowsIn(const std::vector<LogRow>& rows, const ChartWindow& window)
{
    if (window.empty) {
        return {};
    }
    const auto first =
        std::lower_bound(rows.begin(), rows.end(), window.left,
                         [](const LogRow& r, int64_t time) { return static_cast<int64_t>(r.ms) < time; });
    const auto last = std::upper_bound(first, rows.end(), window.right, [](int64_t time, const LogRow& r) {
        return time < static_cast<int64_t>(r.ms);
    });
    return {static_cast<size_t>(first - rows.begin()), static_cast<size_t>(last - rows.begin())};
}
