// Replay's clock: which row a position shows, the speeds, the end of the log.
#include <gtest/gtest.h>

#include <utility>

#include "livelog/ReplayTimeline.h"

namespace {

// Rows every 100 ms from 0 to 900, with a gap from 500 to 800 (a stalled
// poll); rpm tells the rows apart.
ReplayTimeline Timeline()
{
    std::vector<LogRow> rows;
    for (uint64_t ms : {0, 100, 200, 300, 400, 500, 800, 900}) {
        LogRow row;
        row.ms = ms;
        row.values.rpm = static_cast<uint32_t>(1000 + ms);
        rows.push_back(row);
    }
    return ReplayTimeline(std::move(rows));
}

}  // namespace

TEST(ReplayTimeline, PositionShowsTheLastRowAtOrBeforeIt)
{
    ReplayTimeline timeline = Timeline();
    EXPECT_EQ(timeline.Duration(), 900u);
    EXPECT_EQ(timeline.Current().values.rpm, 1000u);
    const std::vector<std::pair<uint64_t, uint32_t>> table = {{0, 1000},   {99, 1000},  {100, 1100},
                                                              {450, 1400}, {500, 1500}, {799, 1500},
                                                              {800, 1800}, {900, 1900}, {5000, 1900}};
    for (const auto& [position, rpm] : table) {
        timeline.Seek(position);
        EXPECT_EQ(timeline.Current().values.rpm, rpm) << "at " << position;
    }
    EXPECT_EQ(timeline.Position(), 900u) << "a seek stops at the end";
    EXPECT_FALSE(timeline.Seek(950)) << "same row";
    EXPECT_TRUE(timeline.Seek(0));
}

TEST(ReplayTimeline, PlaysAtItsSpeedAndPausesAtTheEnd)
{
    ReplayTimeline timeline = Timeline();
    EXPECT_FALSE(timeline.Advance(100)) << "paused: the clock stands";
    EXPECT_EQ(timeline.Position(), 0u);
    timeline.Play();
    EXPECT_TRUE(timeline.Advance(100));
    EXPECT_EQ(timeline.Current().values.rpm, 1100u);
    timeline.SetSpeed(3);  // not a speed of replay: ignored
    EXPECT_EQ(timeline.Speed(), 1);
    timeline.SetSpeed(5);
    EXPECT_TRUE(timeline.Advance(100));
    EXPECT_EQ(timeline.Position(), 600u);
    EXPECT_EQ(timeline.Current().values.rpm, 1500u);
    timeline.SetSpeed(10);
    timeline.Advance(100);
    EXPECT_EQ(timeline.Position(), 900u);
    EXPECT_FALSE(timeline.Playing()) << "the end pauses";
    timeline.Play();
    EXPECT_EQ(timeline.Position(), 0u) << "play at the end starts again";
    EXPECT_TRUE(timeline.Playing());

    // The speeds the replay bar offers: x1, x2, x5 and x10.
    for (int speed : {2, 1, 10, 5}) {
        timeline.SetSpeed(speed);
        EXPECT_EQ(timeline.Speed(), speed);
    }

    // A damaged log's times at the top of uint64_t: played, it still ends.
    std::vector<LogRow> top(2);
    top[0].ms = UINT64_MAX - 50, top[1].ms = UINT64_MAX;
    ReplayTimeline last(top);
    last.Play();
    last.Advance(100);
    EXPECT_EQ(last.Position(), UINT64_MAX);
    EXPECT_FALSE(last.Playing());

    ReplayTimeline empty({});
    empty.Play();
    EXPECT_FALSE(empty.Playing());
    EXPECT_FALSE(empty.Advance(100));
}

TEST(ReplayTimeline, TimeTextShowsTheTenthBegun)
{
    const std::pair<uint64_t, const char*> cases[] = {
        {0, "0:00.0"},     {99, "0:00.0"},    {100, "0:00.1"},   {12345, "0:12.3"},   {12399, "0:12.3"},
        {59999, "0:59.9"}, {60000, "1:00.0"}, {62399, "1:02.3"}, {600100, "10:00.1"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(ReplayTimeText(ms), text) << ms;
}
