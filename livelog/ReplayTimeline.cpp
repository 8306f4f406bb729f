#include "livelog/ReplayTimeline.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

ReplayTimeline::ReplayTimeline(std::vector<LogRow> rows) : rows(std::move(rows))
{
    if (!this->rows.empty()) {
        position = this->rows.front().ms;
    }
}

uint64_t ReplayTimeline::Duration() const
{
    return rows.empty() ? 0 : rows.back().ms;
}

size_t ReplayTimeline::IndexAt(uint64_t ms) const
{
    const auto after = std::upper_bound(rows.begin(), rows.end(), ms,
                                        [](uint64_t time, const LogRow& row) { return time < row.ms; });
    return after == rows.begin() ? 0 : static_cast<size_t>(after - rows.begin() - 1);
}

bool ReplayTimeline::Seek(uint64_t ms)
{
    position = std::min(ms, Duration());
    const size_t before = index;
    index = IndexAt(position);
    return index != before;
}

bool ReplayTimeline::Advance(uint64_t realMs)
{
    if (!playing || rows.empty()) {
        return false;
    }
    // Saturating: the times of a damaged log may reach the top of uint64_t,
    // and a position that wrapped round would replay it from its start forever.
    const uint64_t step = realMs * static_cast<uint64_t>(speed);
    const bool changed = Seek(step > UINT64_MAX - position ? UINT64_MAX : position + step);
    if (position >= Duration()) {
        playing = false;
    }
    return changed;
}

void ReplayTimeline::Play()
{
    if (rows.empty()) {
        return;
    }
    if (position >= Duration()) {
        Seek(0);
    }
    playing = true;
}

void ReplayTimeline::SetSpeed(int factor)
{
    if (std::find(std::begin(kSpeeds), std::end(kSpeeds), factor) != std::end(kSpeeds)) {
        speed = factor;
    }
}

std::string ReplayTimeText(uint64_t ms)
{
    const uint64_t seconds = ms / 1000;
    char text[40];
    std::snprintf(text, sizeof text, "%llu:%02llu.%llu", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60),
                  static_cast<unsigned long long>(ms % 1000 / 100));
    return text;
}
