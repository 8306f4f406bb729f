// The maps' heat colours and the live operating point without a window: the
// colour of a cell value and its text, the cell of an engine speed and gear,
// and the pace at which the outline may move.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "editor/MapHeatColours.h"
#include "editor/OperatingPoint.h"

namespace {

const char* Name(MapGridKind kind)
{
    return kind == MapGridKind::Blipper ? "blipper" : "shifter";
}

}  // namespace

TEST(MapHeat, ColoursOfCellValues)
{
    constexpr Rgb kGrey{224, 224, 224}, kWhite{255, 255, 255};
    constexpr Rgb kDarkEnd{68, 1, 84}, kLightEnd{253, 231, 37}, kMiddle{33, 144, 141};
    struct Case {
        MapGridKind kind;
        long value;
        CellColours expected;
    };
    const Case cases[] = {
        // 0: the function is off.
        {MapGridKind::Blipper, 0, {kGrey, kBlackText, false}},
        {MapGridKind::Shifter, 0, {kGrey, kBlackText, false}},
        // The scale runs from 30 to the map's own maximum.
        {MapGridKind::Blipper, 30, {kDarkEnd, kWhiteText, false}},
        {MapGridKind::Shifter, 30, {kDarkEnd, kWhiteText, false}},
        {MapGridKind::Shifter, 45, {{71, 44, 122}, kWhiteText, false}},
        {MapGridKind::Blipper, 125, {kMiddle, kBlackText, false}},
        {MapGridKind::Shifter, 90, {kMiddle, kBlackText, false}},
        {MapGridKind::Blipper, 220, {kLightEnd, kBlackText, false}},
        {MapGridKind::Shifter, 150, {kLightEnd, kBlackText, false}},
        // Values the unit does not take are on no scale.
        {MapGridKind::Blipper, 29, {kWhite, kBlackText, true}},
        {MapGridKind::Shifter, 1, {kWhite, kBlackText, true}},
        {MapGridKind::Shifter, -40, {kWhite, kBlackText, true}},
        {MapGridKind::Shifter, 151, {kWhite, kBlackText, true}},
        {MapGridKind::Blipper, 221, {kWhite, kBlackText, true}},
        {MapGridKind::Blipper, 160, {RampColour(130.0 / 190.0), kBlackText, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MapCellColours(c.value, c.kind), c.expected) << Name(c.kind) << ' ' << c.value;
}

TEST(MapHeat, EveryTextIsReadableAndLightnessFollowsTheValue)
{
    for (MapGridKind kind : {MapGridKind::Blipper, MapGridKind::Shifter}) {
        double previous = -1.0;
        for (long value = -50; value <= 300; ++value) {
            const CellColours colours = MapCellColours(value, kind);
            EXPECT_GE(ContrastRatio(colours.background, colours.text), 4.5) << Name(kind) << ' ' << value;
            if (colours.invalid || value == 0)
                continue;
            // Lightness alone orders the scale, whatever hues a reader tells apart.
            const double luminance = RelativeLuminance(colours.background);
            EXPECT_GT(luminance, previous) << Name(kind) << ' ' << value;
            previous = luminance;
        }
    }
    EXPECT_NEAR(ContrastRatio(kBlackText, kWhiteText), 21.0, 1e-9);
}

TEST(MapHeat, OperatingCellOfEngineSpeedAndGear)
{
    using Cell = std::optional<GridCell>;
    struct Case {
        uint32_t rpm;
        uint32_t gear;
        bool perGear;
        Cell shifter;
        Cell blipper;
    };
    const Case cases[] = {
        {0, 0, true, {}, {}},  // no live data (zeroed record)
        {0, 3, true, {}, {}},
        {1499, 3, true, {}, {}},
        {1500, 3, true, GridCell{0, 2}, GridCell{0, 1}},
        {2499, 1, true, GridCell{0, 0}, {}},  // no down-shift from first gear
        {2500, 2, true, GridCell{1, 1}, GridCell{1, 0}},
        {8400, 4, true, GridCell{6, 3}, GridCell{6, 2}},
        {9000, 0, true, {}, {}},                             // neutral
        {16000, 6, true, {}, GridCell{14, 4}},               // no up-shift from sixth gear
        {16500, 5, true, GridCell{14, 4}, GridCell{14, 3}},  // above the last row: the last row
        {8000, 7, true, {}, {}},
        {8000, 3, false, GridCell{6, 0}, GridCell{6, 0}},  // one column for every gear
        {8000, 6, false, {}, GridCell{6, 0}},
        {8000, 1, false, GridCell{6, 0}, {}},
        {1000, 1, false, {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OperatingCell(c.rpm, c.gear, MapGridKind::Shifter, c.perGear), c.shifter)
            << c.rpm << " rpm, gear " << c.gear << (c.perGear ? "" : ", one column");
        EXPECT_EQ(OperatingCell(c.rpm, c.gear, MapGridKind::Blipper, c.perGear), c.blipper)
            << c.rpm << " rpm, gear " << c.gear << (c.perGear ? "" : ", one column");
    }
}

TEST(MapHeat, OutlineMovesAtMostTenTimesASecond)
{
    using Move = OutlinePacer::Move;
    const GridCell a{3, 1}, b{4, 1}, c{5, 2};
    OutlinePacer pacer;
    EXPECT_EQ(pacer.Ask(a, 1000), (Move{std::nullopt, a}));
    EXPECT_EQ(pacer.Ask(a, 1010), std::nullopt) << "the same cell does not move";
    EXPECT_EQ(pacer.DueAt(), std::nullopt);

    // Two changes within 100 ms: the newest waits until the interval is up.
    EXPECT_EQ(pacer.Ask(b, 1040), std::nullopt);
    EXPECT_EQ(pacer.Ask(c, 1060), std::nullopt);
    EXPECT_EQ(pacer.DueAt(), 1100);
    EXPECT_EQ(pacer.Due(1099), std::nullopt);
    EXPECT_EQ(pacer.Due(1100), (Move{a, c}));
    EXPECT_EQ(pacer.Shown(), c);
    EXPECT_EQ(pacer.DueAt(), std::nullopt);

    // A change back to the shown cell cancels the waiting one.
    EXPECT_EQ(pacer.Ask(b, 1150), std::nullopt);
    EXPECT_EQ(pacer.Ask(c, 1160), std::nullopt);
    EXPECT_EQ(pacer.Due(1300), std::nullopt);

    // Live data stops: the outline goes, 100 ms after it last moved.
    EXPECT_EQ(pacer.Ask(std::nullopt, 1300), (Move{c, std::nullopt}));
    EXPECT_EQ(pacer.Ask(a, 1350), std::nullopt);
    EXPECT_EQ(pacer.Due(1400), (Move{std::nullopt, a}));
}
