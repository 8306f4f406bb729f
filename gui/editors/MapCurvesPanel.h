// A map drawn as curves beside its grid: engine speed across, cut time up,
// one line per shown gear with a legend; zero cells are gaps; the selected
// cells, the cursor cell, the live operating point and the visits (as the
// size of a point) show as in the grid. Dragging a point up or down changes
// that cell, one undo step per drag; hovering names the point. The geometry
// is editor/MapCurves.
#pragma once

#include <functional>
#include <optional>

#include <wx/string.h>
#include <wx/timer.h>
#include <wx/window.h>

#include "editor/MapCurves.h"
#include "editor/MapTools.h"
#include "editor/MapVisits.h"

class wxGrid;
class wxMouseEvent;
class wxPaintEvent;
class wxSizer;

class MapCurvesPanel : public wxWindow {
public:
    struct Wiring {
        wxGrid& grid;
        MapGridKind kind;
        // The cell the operating point outlines, if any.
        std::function<std::optional<GridCell>()> operatingCell;
        // The visits shown in the grid, if they are.
        std::function<std::optional<MapVisitCounts>()> visits;
        // A drag changed a cell: the undo takes it as a step of this name.
        std::function<void(const wxString& step)> edited;
    };
    MapCurvesPanel(wxWindow* parent, Wiring wiring);
    ~MapCurvesPanel() override;

    // The plot's rectangle inside the window now.
    CurveArea Area() const;
    // What the window shows, read from the grid.
    struct Shown {
        MapGridValues values{};
        std::array<bool, kMapGridCols> columns{};
        MapCellSelection selected{};
        GridCell cursor;
        std::optional<GridCell> operating;
        std::optional<MapVisitCounts> visits;
        bool operator==(const Shown&) const = default;
    };
    Shown ReadGrid() const;

protected:
    wxSize DoGetBestClientSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnTick(wxTimerEvent& event);
    // Sets the dragged point's cell to the value at `at`.
    void DragTo(const CurveArea& area, const wxPoint& at);
    void EndDrag();

    Wiring wiring;
    Shown shown;
    wxTimer tick;
    std::optional<GridCell> dragged;
    bool draggedChanged = false;
};

// The "Curves" switch of a map grid on `line` (below the grid) and the curves
// in the box beside the map's, shown as the user last chose.
void AddMapCurves(wxSizer* line, MapCurvesPanel::Wiring wiring);
