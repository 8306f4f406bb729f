#include "gui/editors/MapCurvesPanel.h"

#include <memory>

#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/graphics.h>
#include <wx/grid.h>
#include <wx/numformatter.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "editor/EditSteps.h"
#include "session/UserSettings.h"

namespace {

// Okabe and Ito's colours, told apart with any colour vision.
const wxColour kGearColours[kMapGridCols] = {wxColour(0, 114, 178), wxColour(230, 159, 0),
                                             wxColour(0, 158, 115), wxColour(204, 121, 167),
                                             wxColour(213, 94, 0)};
constexpr int kMarginLeft = 34;
constexpr int kMarginRight = 16;
constexpr int kMarginTop = 22;  // the legend
constexpr int kMarginBottom = 18;
constexpr double kReach = 8;

wxString Translated(const char* utf8)
{
    return wxGetTranslation(wxString::FromUTF8(utf8));
}

// The page of the notebook that holds `window`.
wxWindow* PageOf(wxWindow* window)
{
    for (; window && window->GetParent(); window = window->GetParent())
        if (dynamic_cast<wxBookCtrlBase*>(window->GetParent()))
            return window;
    return nullptr;
}

}  // namespace

MapCurvesPanel::MapCurvesPanel(wxWindow* parent, Wiring wiring)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE),
      wiring(std::move(wiring)),
      tick(this)
{
    SetName(this->wiring.kind == MapGridKind::Blipper ? "ID_MAP_CURVES_BLIPPER" : "ID_MAP_CURVES_SHIFTER");
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(FromDIP(wxSize(220, 160)));
    Bind(wxEVT_PAINT, &MapCurvesPanel::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &MapCurvesPanel::OnMouse, this);
    Bind(wxEVT_LEFT_UP, &MapCurvesPanel::OnMouse, this);
    Bind(wxEVT_MOTION, &MapCurvesPanel::OnMouse, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &MapCurvesPanel::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &MapCurvesPanel::OnTick, this);
    shown = ReadGrid();
    // Edits, undo, tools and the live point all reach the grid without an
    // event of their own: the curves follow it ten times a second.
    tick.Start(100);
}

MapCurvesPanel::~MapCurvesPanel()
{
    tick.Stop();
    if (HasCapture())
        ReleaseMouse();
}

wxSize MapCurvesPanel::DoGetBestClientSize() const
{
    return FromDIP(wxSize(220, 160));
}

CurveArea MapCurvesPanel::Area() const
{
    const wxSize size = GetClientSize();
    return {static_cast<double>(kMarginLeft), static_cast<double>(kMarginTop),
            static_cast<double>(std::max(size.x - kMarginLeft - kMarginRight, 1)),
            static_cast<double>(std::max(size.y - kMarginTop - kMarginBottom, 1))};
}

MapCurvesPanel::Shown MapCurvesPanel::ReadGrid() const
{
    const wxGrid& grid = wiring.grid;
    Shown now;
    const int rows = std::min(grid.GetNumberRows(), kMapGridRows);
    const int cols = std::min(grid.GetNumberCols(), kMapGridCols);
    for (int col = 0; col < cols; ++col)
        now.columns[col] = grid.IsColShown(col);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            now.values[row][col] = LeadingInteger(grid.GetCellValue(row, col).utf8_string());
            now.selected[row][col] = grid.IsInSelection(row, col);
        }
    now.cursor = {grid.GetGridCursorRow(), grid.GetGridCursorCol()};
    now.operating = wiring.operatingCell();
    now.visits = wiring.visits();
    return now;
}

void MapCurvesPanel::OnTick(wxTimerEvent& /*event*/)
{
    if (!IsShownOnScreen())
        return;
    const Shown now = ReadGrid();
    if (now == shown)
        return;
    shown = now;
    Refresh();
}

void MapCurvesPanel::OnPaint(wxPaintEvent& /*event*/)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
    dc.Clear();
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc)
        return;
    const CurveArea area = Area();
    const MapGridKind kind = wiring.kind;
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    gc->SetFont(GetFont().Smaller(), text);

    // Axes with a grid line every 2,000 rpm and every 30 ms.
    gc->SetPen(wxPen(wxColour(200, 200, 200)));
    for (long rpm = 2000; rpm <= 16000; rpm += 2000) {
        const double x = CurveX(area, rpm);
        gc->StrokeLine(x, area.top, x, area.top + area.height);
        if (rpm % 4000 == 0)
            gc->DrawText(wxString::Format("%ldk", rpm / 1000), x - 6, area.top + area.height + 2);
    }
    for (long ms = 0; ms <= MapCellMaximum(kind); ms += 30) {
        const double y = CurveY(area, ms, kind);
        gc->StrokeLine(area.left, y, area.left + area.width, y);
        gc->DrawText(wxString::Format("%ld", ms), 2, y - 7);
    }

    // Legend: one swatch per shown gear, after the word once.
    const bool perGear = shown.columns[1];
    double legendX = area.left;
    if (perGear) {
        const wxString word = _("Gear");
        double width = 0;
        double height = 0;
        gc->GetTextExtent(word, &width, &height);
        gc->DrawText(word, legendX, 2);
        legendX += width + 8;
    }
    for (int col = 0; col < kMapGridCols; ++col) {
        if (!shown.columns[col])
            continue;
        const int gear = ColumnGear(col, kind, perGear);
        const wxString label = gear == 0 ? wxString(_("All gears")) : wxString::Format("%d", gear);
        gc->SetPen(wxPen(kGearColours[col], 3));
        gc->StrokeLine(legendX, 9, legendX + 12, 9);
        gc->DrawText(label, legendX + 15, 2);
        double width = 0;
        double height = 0;
        gc->GetTextExtent(label, &width, &height);
        legendX += 15 + width + 10;
    }

    for (int col = 0; col < kMapGridCols; ++col) {
        if (!shown.columns[col])
            continue;
        // Lines between neighbouring cut times; a 0 leaves a gap.
        gc->SetPen(wxPen(kGearColours[col], 2));
        for (int row = 0; row + 1 < kMapGridRows; ++row) {
            if (shown.values[row][col] == 0 || shown.values[row + 1][col] == 0)
                continue;
            gc->StrokeLine(CurveX(area, MapGridRowRpm(row)), CurveY(area, shown.values[row][col], kind),
                           CurveX(area, MapGridRowRpm(row + 1)),
                           CurveY(area, shown.values[row + 1][col], kind));
        }
        for (int row = 0; row < kMapGridRows; ++row) {
            if (shown.values[row][col] == 0)
                continue;
            const double x = CurveX(area, MapGridRowRpm(row));
            const double y = CurveY(area, shown.values[row][col], kind);
            const double r = PointRadius(shown.visits ? (*shown.visits)[row][col] : 0);
            const bool selected = shown.selected[row][col];
            gc->SetPen(selected ? wxPen(text, 2) : wxPen(kGearColours[col]));
            gc->SetBrush(wxBrush(selected ? wxColour(255, 255, 255) : kGearColours[col]));
            gc->DrawEllipse(x - r, y - r, 2 * r, 2 * r);
            if (shown.cursor == GridCell{row, col}) {
                gc->SetPen(wxPen(text, 1, wxPENSTYLE_SHORT_DASH));
                gc->SetBrush(*wxTRANSPARENT_BRUSH);
                gc->DrawRectangle(x - r - 3, y - r - 3, 2 * r + 6, 2 * r + 6);
            }
        }
    }

    // The live operating point: a black and white ring on its gear's line.
    if (shown.operating && shown.columns[shown.operating->col]) {
        const GridCell cell = *shown.operating;
        const double x = CurveX(area, MapGridRowRpm(cell.row));
        const double y = CurveY(area, shown.values[cell.row][cell.col], kind);
        gc->SetBrush(*wxTRANSPARENT_BRUSH);
        gc->SetPen(wxPen(*wxBLACK, 3));
        gc->DrawEllipse(x - 9, y - 9, 18, 18);
        gc->SetPen(wxPen(*wxWHITE, 1));
        gc->DrawEllipse(x - 9, y - 9, 18, 18);
    }
}

void MapCurvesPanel::OnMouse(wxMouseEvent& event)
{
    const CurveArea area = Area();
    const wxPoint at = event.GetPosition();
    if (event.LeftDown()) {
        shown = ReadGrid();
        dragged = PointAt(area, shown.values, shown.columns, wiring.kind, at.x, at.y, kReach);
        draggedChanged = false;
        if (dragged) {
            // The grid's cursor and the keyboard go to the point taken, so
            // that a number typed next goes into the cell being dragged.
            wiring.grid.SetGridCursor(dragged->row, dragged->col);
            wiring.grid.MakeCellVisible(dragged->row, dragged->col);
            wiring.grid.SetFocus();
            if (!HasCapture())
                CaptureMouse();
        }
        return;
    }
    if (event.LeftUp()) {
        // The point ends where the button is let go, even when the toolkit
        // delivered no motion to that place before the release.
        if (dragged) {
            DragTo(area, at);
        }
        EndDrag();
        return;
    }
    if (dragged && event.Dragging()) {
        DragTo(area, at);
        return;
    }
    const std::optional<GridCell> over =
        PointAt(area, shown.values, shown.columns, wiring.kind, at.x, at.y, kReach);
    if (!over) {
        UnsetToolTip();
        return;
    }
    const int gear = ColumnGear(over->col, wiring.kind, shown.columns[1]);
    const wxString rpm =
        wxNumberFormatter::ToString(MapGridRowRpm(over->row), wxNumberFormatter::Style_WithThousandsSep);
    const long ms = shown.values[over->row][over->col];
    SetToolTip(
        gear == 0
            ? wxString::Format(Translated(wxTRANSLATE("All gears \xC2\xB7 %s rpm \xC2\xB7 %ld ms")), rpm, ms)
            : wxString::Format(Translated(wxTRANSLATE("Gear %d \xC2\xB7 %s rpm \xC2\xB7 %ld ms")), gear, rpm,
                               ms));
}

void MapCurvesPanel::DragTo(const CurveArea& area, const wxPoint& at)
{
    const long value = DraggedValue(area, at.y, wiring.kind);
    wxGrid& grid = wiring.grid;
    if (LeadingInteger(grid.GetCellValue(dragged->row, dragged->col).utf8_string()) != value) {
        grid.SetCellValue(dragged->row, dragged->col, wxString::Format("%ld", value));
        draggedChanged = true;
        shown = ReadGrid();
        Refresh();
    }
}

void MapCurvesPanel::OnCaptureLost(wxMouseCaptureLostEvent& /*event*/)
{
    EndDrag();
}

void MapCurvesPanel::EndDrag()
{
    if (HasCapture())
        ReleaseMouse();
    if (dragged && draggedChanged)
        wiring.edited(wxGetTranslation(MapCellStepName(wiring.kind)));
    dragged.reset();
    draggedChanged = false;
}

void AddMapCurves(wxSizer* line, MapCurvesPanel::Wiring wiring)
{
    wxGrid& grid = wiring.grid;
    wxWindow* page = PageOf(&grid);
    wxSizer* pageSizer = page ? page->GetSizer() : nullptr;
    if (!line || !pageSizer || pageSizer->GetItemCount() < 2)
        return;
    // In the box beside the map's (its settings), below what it holds.
    wxSizer* box = pageSizer->GetItem(pageSizer->GetItemCount() - 1)->GetSizer();
    if (!box)
        return;
    auto* staticBox = dynamic_cast<wxStaticBoxSizer*>(box);
    wxWindow* parent = staticBox ? static_cast<wxWindow*>(staticBox->GetStaticBox()) : page;
    const UserFlag& flag = wiring.kind == MapGridKind::Blipper ? kBlipperCurvesFlag : kShifterCurvesFlag;
    auto* curves = new MapCurvesPanel(parent, std::move(wiring));
    box->Add(curves, 1, wxEXPAND | wxTOP, 6);
    auto* toggle = new wxCheckBox(grid.GetParent(), wxID_ANY, _("Curves"));
    toggle->SetName(curves->GetName() + "_SWITCH");
    toggle->SetToolTip(_("Show the map as curves beside the grid"));
    line->Add(toggle, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 12);
    const bool on = UserSettings().Read(flag);
    toggle->SetValue(on);
    curves->Show(on);
    page->Layout();
    toggle->Bind(wxEVT_CHECKBOX, [curves, page, &flag](wxCommandEvent& event) {
        curves->Show(event.IsChecked());
        page->Layout();
        UserSettings().Write(flag, event.IsChecked());
    });
}
