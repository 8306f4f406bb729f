// The heat-map look of one map grid: its cells painted by value from the
// text they hold when they are drawn (so every edit, paste, fill down, undo
// and load shows at once without telling anyone), a legend beside the grid,
// and the outline of the cell the engine runs in while live data flows. The
// outline moves at most ten times a second and repaints only the cell it
// leaves and the cell it enters.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <wx/grid.h>
#include <wx/timer.h>

#include "editor/MapGridRules.h"
#include "editor/MapHeatColours.h"
#include "editor/MapVisits.h"
#include "editor/OperatingPoint.h"

class MapHeatLegend;

// What the cell renderer of a grid needs to know; shared with the grid's
// column attributes, so that it outlives nothing it points to.
struct MapGridLook {
    MapGridKind kind = MapGridKind::Shifter;
    std::optional<GridCell> outlined;
    // Shown in the top left corner of each cell that has any.
    std::optional<MapVisitCounts> visits;
};

// A number cell coloured by its value; the operating point gets a black and
// white ring that shows on every colour.
class HeatMapCellRenderer : public wxGridCellNumberRenderer {
public:
    explicit HeatMapCellRenderer(std::shared_ptr<const MapGridLook> look) : look(std::move(look)) {}
    void Draw(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, const wxRect& rect, int row, int col,
              bool isSelected) override;
    wxGridCellRenderer* Clone() const override { return new HeatMapCellRenderer(look); }

private:
    std::shared_ptr<const MapGridLook> look;
};

class MapGridHeat {
public:
    // Gives every column of the grid the heat renderer (keeping its number
    // editor) and puts the legend to the right of the grid.
    MapGridHeat(wxGrid& grid, MapGridKind kind);
    ~MapGridHeat();
    MapGridHeat(const MapGridHeat&) = delete;
    MapGridHeat& operator=(const MapGridHeat&) = delete;

    // The live engine speed and gear; 0 rpm (a zeroed record) clears the
    // outline. A grid showing one column for all gears outlines that column.
    void ShowOperatingPoint(uint32_t rpm, uint32_t gear);
    // The outlined cell, if any.
    std::optional<GridCell> Outlined() const { return look->outlined; }
    MapHeatLegend* Legend() const { return legend; }
    // The shifts counted in each cell, or none to show no counts.
    void ShowVisits(const std::optional<MapVisitCounts>& counts);
    const std::optional<MapVisitCounts>& Visits() const { return look->visits; }

private:
    void Apply(const OutlinePacer::Move& move);
    void RefreshCell(const std::optional<GridCell>& cell);
    void OnDue(wxTimerEvent& event);

    wxGrid& grid;
    std::shared_ptr<MapGridLook> look;
    OutlinePacer pacer;
    wxTimer dueTimer;
    MapHeatLegend* legend = nullptr;
};
