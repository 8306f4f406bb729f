// The maps' heat colours and the live operating point without a window: the
// colour of a cell value and its text, the cell of an engine speed and gear,
// and the pace at which the outline may move.
#include <gtest/gtest.h>

#include <optional>

#include "editor/MapHeatColours.h"
#include "editor/OperatingPoint.h"

namespace {
constexpr MapGridKind kBlipper = MapGridKind::Blipper, kShifter = MapGridKind::Shifter;
}

TEST(MapHeat, ColoursOfCellValues)
{
    constexpr Rgb kGrey{224, 224, 224}, kWhite{255, 255, 255}, kDarkEnd{68, 1, 84}, kLightEnd{253, 231, 37};
    struct Case {
        MapGridKind kind;
        long value;
        CellColours expected;
    };
    const Case cases[] = {
        {kBlipper, 0, {kGrey, kBlackText, false}},  // the function is off
        {kShifter, 30, {kDarkEnd, kWhiteText, false}},
        {kShifter, 45, {{71, 44, 122}, kWhiteText, false}},
        {kBlipper, 125, {{33, 144, 141}, kBlackText, false}},  // half-way, as the shifter's 90
        {kShifter, 90, {{33, 144, 141}, kBlackText, false}},
        {kBlipper, 220, {kLightEnd, kBlackText, false}},
        {kShifter, 150, {kLightEnd, kBlackText, false}},
        {kBlipper, 29, {kWhite, kBlackText, true}},  // values the unit does not take
        {kShifter, -40, {kWhite, kBlackText, true}},
        {kShifter, 151, {kWhite, kBlackText, true}},
        {kBlipper, 221, {kWhite, kBlackText, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapCellColours(c.value, c.kind), c.expected)
            << (c.kind == kBlipper ? "blipper " : "shifter ") << c.value;

    for (MapGridKind kind : {kBlipper, kShifter}) {
        double previous = -1.0;
        for (long value = -50; value <= 300; ++value) {
            const CellColours colours = MapCellColours(value, kind);
            EXPECT_GE(ContrastRatio(colours.background, colours.text), 4.5) << value;
            // Lightness alone orders the scale, whatever hues a reader tells apart.
            if (!colours.invalid && value != 0) {
                EXPECT_GT(RelativeLuminance(colours.background), previous) << value;
                previous = RelativeLuminance(colours.background);
            }
        }
    }
}

TEST(MapHeat, OperatingCellOfEngineSpeedAndGear)
{
    using Cell = std::optional<GridCell>;
    struct Case {
        uint32_t rpm, gear;
        bool perGear;
        Cell shifter, blipper;
    };
    const Case cases[] = {
        {0, 0, true, {}, {}},  // no live data (zeroed record)
        {1499, 3, true, {}, {}},
        {1500, 3, true, GridCell{0, 2}, GridCell{0, 1}},
        {2499, 1, true, GridCell{0, 0}, {}},  // no down-shift from first gear
        {2500, 2, true, GridCell{1, 1}, GridCell{1, 0}},
        {9000, 0, true, {}, {}},                             // neutral
        {16000, 6, true, {}, GridCell{14, 4}},               // no up-shift from sixth gear
        {16500, 5, true, GridCell{14, 4}, GridCell{14, 3}},  // above the last row: the last row
        {8000, 7, true, {}, {}},
        {8000, 3, false, GridCell{6, 0}, GridCell{6, 0}},  // one column for every gear
        {8000, 6, false, {}, GridCell{6, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OperatingCell(c.rpm, c.gear, kShifter, c.perGear), c.shifter)
            << c.rpm << " rpm, " << c.gear;
        EXPECT_EQ(OperatingCell(c.rpm, c.gear, kBlipper, c.perGear), c.blipper)
            << c.rpm << " rpm, " << c.gear;
    }
}

TEST(MapHeat, OutlineMovesAtMostTenTimesASecond)
{
    using Move = OutlinePacer::Move;
    const GridCell a{3, 1}, b{4, 1}, c{5, 2};
    OutlinePacer pacer;
    EXPECT_EQ(pacer.Ask(a, 1000), (Move{std::nullopt, a}));
    EXPECT_EQ(pacer.Ask(a, 1010), std::nullopt) << "the same cell does not move";
    // Two changes within 100 ms: the newest waits until the interval is up.
    EXPECT_EQ(pacer.Ask(b, 1040), std::nullopt);
    EXPECT_EQ(pacer.Ask(c, 1060), std::nullopt);
    EXPECT_EQ(pacer.DueAt(), 1100);
    EXPECT_EQ(pacer.Due(1099), std::nullopt);
    EXPECT_EQ(pacer.Due(1100), (Move{a, c}));
    EXPECT_EQ(pacer.DueAt(), std::nullopt);
    // A change back to the shown cell cancels the waiting one.
    EXPECT_EQ(pacer.Ask(b, 1150), std::nullopt);
    EXPECT_EQ(pacer.Ask(c, 1160), std::nullopt);
    EXPECT_EQ(pacer.Due(1300), std::nullopt);
    // Live data stops: the outline goes.
    EXPECT_EQ(pacer.Ask(std::nullopt, 1300), (Move{c, std::nullopt}));
}
