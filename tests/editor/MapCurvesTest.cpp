#include <gtest/gtest.h>

#include "editor/MapCurves.h"

// A shifter plot 140 x 150 px: 10 px per 1,000 rpm, 1 px per ms.
TEST(MapCurves, PointsDragsAndSizes)
{
    const CurveArea shifter{0, 0, 140, 150};
    EXPECT_DOUBLE_EQ(CurveX(shifter, 9000), 70);
    EXPECT_DOUBLE_EQ(CurveY(shifter, 52, MapGridKind::Shifter), 98);
    const CurveArea blipper{10, 20, 140, 220};
    EXPECT_DOUBLE_EQ(CurveY(blipper, 200, MapGridKind::Blipper), 40);

    const struct {
        CurveArea area;
        double y;
        MapGridKind kind;
        long value;
    } drags[] = {
        {shifter, 100, MapGridKind::Shifter, 50},  {shifter, 99.5, MapGridKind::Shifter, 51},
        {shifter, 140, MapGridKind::Shifter, 30},  {shifter, 150, MapGridKind::Shifter, 30},
        {shifter, -10, MapGridKind::Shifter, 150}, {blipper, 40, MapGridKind::Blipper, 200},
    };
    for (const auto& drag : drags)
        EXPECT_EQ(DraggedValue(drag.area, drag.y, drag.kind), drag.value) << drag.y;

    MapGridValues values{};
    values[3][0] = 60;  // at (30, 90)
    values[3][1] = 64;  // at (30, 86)
    const std::array<bool, kMapGridCols> all{true, true, true, true, true};
    const std::array<bool, kMapGridCols> first{true, false, false, false, false};
    EXPECT_EQ(PointAt(shifter, values, all, MapGridKind::Shifter, 33, 92, 8), (GridCell{3, 0}));
    EXPECT_EQ(PointAt(shifter, values, all, MapGridKind::Shifter, 30, 87, 8), (GridCell{3, 1}));
    EXPECT_EQ(PointAt(shifter, values, first, MapGridKind::Shifter, 30, 86, 8), (GridCell{3, 0}));
    EXPECT_EQ(PointAt(shifter, values, all, MapGridKind::Shifter, 40, 150, 8), std::nullopt)
        << "a 0 is no point";
    EXPECT_EQ(PointAt(shifter, values, all, MapGridKind::Shifter, 30, 70, 8), std::nullopt) << "out of reach";

    EXPECT_EQ(ColumnGear(2, MapGridKind::Shifter, true), 3);
    EXPECT_EQ(ColumnGear(2, MapGridKind::Blipper, true), 4);
    EXPECT_EQ(ColumnGear(0, MapGridKind::Shifter, false), 0);
    EXPECT_DOUBLE_EQ(PointRadius(0), 3);
    EXPECT_DOUBLE_EQ(PointRadius(4), 5);
    EXPECT_DOUBLE_EQ(PointRadius(100), 8);
}
