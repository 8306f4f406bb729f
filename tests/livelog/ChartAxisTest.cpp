// The live chart's rules without a display: the newest sample at the right
// edge from the first sample on, the cursor's nearest sample, the lanes'
// bits, and the two minutes of samples the history keeps.
#include <gtest/gtest.h>

#include <functional>

#include "livelog/ChartAxis.h"
#include "livelog/SampleHistory.h"

namespace {

// Samples every 100 ms from `firstMs` over `elapsedMs`.
std::vector<LogRow> Samples(uint64_t firstMs, uint64_t elapsedMs)
{
    std::vector<LogRow> rows;
    for (uint64_t ms = firstMs; ms <= firstMs + elapsedMs; ms += 100) {
        LogRow row;
        row.ms = ms;
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

// A 30 s span over a plot from x 70, 600 wide: 20 px a second.
TEST(ChartAxis, NewestSampleIsAtNowFromTheFirstSampleOn)
{
    EXPECT_TRUE(LiveWindow({}, 30000).empty) << "no sample: no axis";
    struct Case {
        uint64_t elapsedMs;
        double firstX;  // where the first sample is drawn
        int64_t left;
    };
    for (const Case& c : {Case{1000, 650, -24000}, Case{6000, 550, -19000}, Case{40000, -130, 15000}}) {
        const std::vector<LogRow> rows = Samples(5000, c.elapsedMs);
        const ChartWindow window = LiveWindow(rows, 30000);
        EXPECT_FALSE(window.empty);
        EXPECT_EQ(window.right, 5000 + static_cast<int64_t>(c.elapsedMs)) << c.elapsedMs;
        EXPECT_EQ(window.left, c.left) << c.elapsedMs;
        EXPECT_DOUBLE_EQ(TimeToX(static_cast<int64_t>(rows.back().ms), window, 70, 600), 670) << c.elapsedMs;
        EXPECT_DOUBLE_EQ(TimeToX(5000, window, 70, 600), c.firstX) << c.elapsedMs;
        EXPECT_EQ(XToTime(670, window, 70, 600), window.right);
        EXPECT_EQ(XToTime(370, window, 70, 600), window.right - 15000) << "the middle is 15 s back";
        EXPECT_EQ(XToTime(0, window, 70, 600), window.left) << "left of the plot is its edge";
    }
    const std::vector<LogRow> rows = Samples(5000, 40000);
    const RowRange range = RowsIn(rows, LiveWindow(rows, 30000));
    EXPECT_EQ(rows[range.first].ms, 15000u);
    EXPECT_EQ(range.last - range.first, 301u);
}

TEST(ChartAxis, CursorTakesTheNearestSampleInView)
{
    const std::vector<LogRow> rows = Samples(1000, 400);  // 1000 ... 1400
    const std::vector<std::pair<int64_t, size_t>> table = {{0, 0},    {1049, 0}, {1050, 0}, {1051, 1},
                                                           {1260, 3}, {1400, 4}, {9000, 4}};
    for (const auto& [ms, row] : table) {
        EXPECT_EQ(NearestRow(rows, ms, 0, rows.size()), row) << ms;
    }
    EXPECT_EQ(NearestRow(rows, 1000, 2, 4), 2u) << "only rows in view";
    EXPECT_EQ(NearestRow(rows, 1000, 3, 3), 3u) << "none in view";
}

TEST(ChartAxis, EachLaneShowsItsOwnBit)
{
    const std::vector<std::pair<const char*, std::function<void(LiveValues&)>>> table = {
        {"in shifter", [](LiveValues& v) { v.inputShifter = 1; }},
        {"in blipper", [](LiveValues& v) { v.inputBlipper = 1; }},
        {"ign. cut", [](LiveValues& v) { v.outputIgnition = 1; }},
        {"inj. cut", [](LiveValues& v) { v.outputInjection = 1; }},
        {"out blipper", [](LiveValues& v) { v.outputBlipper = 1; }},
    };
    ASSERT_EQ(kChartLanes.size(), table.size());
    for (size_t lane = 0; lane < table.size(); ++lane) {
        EXPECT_STREQ(kChartLanes[lane].name, table[lane].first) << "top to bottom";
    }
    for (const auto& [name, set] : table) {
        LiveValues values;
        values.inputClutch = values.inputPit = values.outputRpmLed = 1;  // no lane of their own
        set(values);
        for (size_t lane = 0; lane < kChartLanes.size(); ++lane) {
            EXPECT_EQ(LaneOn(values, lane), std::string(kChartLanes[lane].name) == name)
                << name << " set, lane " << kChartLanes[lane].name;
        }
    }
}

// Ten samples a second: the 60 s and 120 s views hold all of theirs however
// long the poll runs.
TEST(SampleHistory, KeepsTheLastTwoMinutes)
{
    SampleHistory history;
    uint64_t ms = 0;
    struct Case {
        uint64_t untilMs;
        size_t in60, in120;
    };
    for (const Case& c : {Case{20000, 201, 201}, Case{90000, 601, 901}, Case{125000, 601, 1201},
                          Case{200000, 601, 1201}, Case{431000, 601, 1201}}) {
        for (; ms <= c.untilMs; ms += 100) {
            history.Add(ms, LiveValues{});
        }
        for (const auto& [span, count] : {std::pair{60000u, c.in60}, std::pair{120000u, c.in120}}) {
            const RowRange range = RowsIn(history.Rows(), LiveWindow(history.Rows(), span));
            EXPECT_EQ(range.last - range.first, count) << c.untilMs << " ms, span " << span;
        }
        EXPECT_LE(history.Rows().size(), 1301u) << "at most 130 s held";
    }
    history.Add(50, LiveValues{});
    EXPECT_EQ(history.Rows().size(), 1u) << "a new run of the clock starts again";
}

// A ride of one unit and then another's: the chart never joins them.
TEST(SampleHistory, AnotherUnitStartsAfresh)
{
    SampleHistory history;
    struct Step {
        const char* unit;
        size_t held;  // after one more sample
    };
    uint64_t ms = 0;
    for (const Step& step : {Step{"VT000001", 1}, Step{"VT000001", 2}, Step{"VT000002", 1},
                             Step{"VT000002", 2}, Step{"VT000001", 1}}) {
        history.FromUnit(step.unit);
        history.Add(ms += 100, LiveValues{});
        EXPECT_EQ(history.Rows().size(), step.held) << step.unit << " at " << ms << " ms";
    }
}
