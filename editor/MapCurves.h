// The curves of a map without their window: where a cell's point sits in the
// plot (engine speed across, cut time up), which point the pointer is on,
// what a drag makes of a cell and the size of a point by its visits.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "editor/MapGridRules.h"
#include "editor/OperatingPoint.h"

// The plot's rectangle in pixels: 2,000 rpm at the left edge, 16,000 at the
// right; 0 ms at the bottom, the map's maximum at the top.
struct CurveArea {
    double left = 0;
    double top = 0;
    double width = 1;
    double height = 1;
};

double CurveX(const CurveArea& area, long rpm);
double CurveY(const CurveArea& area, long ms, MapGridKind kind);
// The cut time a point dragged to height y gets: whole ms, rounded half away
// from zero, within the map's range (never 0).
long DraggedValue(const CurveArea& area, double y, MapGridKind kind);
// The point (a cell that is not 0 in a shown column) nearest to (x, y), if
// one is within `reach` pixels.
std::optional<GridCell> PointAt(const CurveArea& area, const MapGridValues& values,
                                const std::array<bool, kMapGridCols>& shown, MapGridKind kind, double x,
                                double y, double reach);
// The gear a column is for (shifter 1-5, blipper 2-6); 0 for the one column
// of a map that has one time for all gears.
int ColumnGear(int col, MapGridKind kind, bool perGearColumns);
// The radius of a point: 3 px without visits, growing with them up to 8 px.
double PointRadius(uint32_t visits);
