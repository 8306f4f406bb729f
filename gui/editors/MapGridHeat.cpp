#include "gui/editors/MapGridHeat.h"

#include <chrono>

#include <wx/dc.h>
#include <wx/settings.h>
#include <wx/sizer.h>

#include "gui/editors/HeatBrushes.h"
#include "gui/editors/MapHeatLegend.h"

namespace {

int64_t SteadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The outline's rings, from the cell's edge inwards.
constexpr int kOuterRing = 2;
constexpr int kInnerRing = 2;

}  // namespace

void HeatMapCellRenderer::Draw(wxGrid& grid, wxGridCellAttr& attr, wxDC& dc, const wxRect& rect, int row,
                               int col, bool isSelected)
{
    const wxString text = grid.GetCellValue(row, col);
    const wxScopedCharBuffer utf8 = text.utf8_str();
    const CellColours colours =
        MapCellColours(LeadingInteger(std::string_view(utf8.data(), utf8.length())), look->kind);

    // Selection and a disabled grid keep the toolkit's own colours.
    if (isSelected || !grid.IsThisEnabled()) {
        wxGridCellNumberRenderer::Draw(grid, attr, dc, rect, row, col, isSelected);
    } else {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(ToColour(colours.background)));
        dc.DrawRectangle(rect);
        if (colours.invalid) {
            dc.SetBrush(InvalidCellHatch());
            dc.DrawRectangle(rect);
        }
        SetTextColoursAndFont(grid, attr, dc, isSelected);
        dc.SetTextForeground(ToColour(colours.text));
        // Right-aligned as number cells are, clear of the outline.
        int hAlign = wxALIGN_RIGHT;
        int vAlign = wxALIGN_CENTRE_VERTICAL;
        attr.GetNonDefaultAlignment(&hAlign, &vAlign);
        wxRect textRect = rect;
        textRect.Deflate(kOuterRing + kInnerRing, 1);
        grid.DrawTextRectangle(dc, text, textRect, hAlign, vAlign);
    }
    if (look->visits && row < kMapGridRows && col < kMapGridCols && (*look->visits)[row][col] > 0) {
        // Small, in the corner the right-aligned value leaves free.
        wxFont small = dc.GetFont();
        small.SetFractionalPointSize(small.GetFractionalPointSize() * 0.7);
        dc.SetFont(small);
        dc.SetTextForeground(isSelected ? grid.GetSelectionForeground() : ToColour(colours.text));
        dc.DrawText(wxString::Format("%u", (*look->visits)[row][col]), rect.x + kOuterRing + kInnerRing,
                    rect.y + 1);
    }

    // Filled bars, not pen strokes, so that the rings are whole pixels.
    auto ring = [&](const wxRect& edge, int width, const wxColour& colour) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(colour));
        dc.DrawRectangle(edge.x, edge.y, edge.width, width);
        dc.DrawRectangle(edge.x, edge.GetBottom() + 1 - width, edge.width, width);
        dc.DrawRectangle(edge.x, edge.y, width, edge.height);
        dc.DrawRectangle(edge.GetRight() + 1 - width, edge.y, width, edge.height);
    };
    // A background of the cell's own (Compare marks the cells that differ
    // so) frames the heat colour, which stays readable inside.
    const wxColour own = attr.GetBackgroundColour();
    if (!isSelected && own.IsOk() && own != grid.GetDefaultCellBackgroundColour())
        ring(rect, kOuterRing + 1, own);

    if (look->outlined != GridCell{row, col})
        return;
    ring(rect, kOuterRing, *wxBLACK);
    ring(wxRect(rect).Deflate(kOuterRing), kInnerRing, *wxWHITE);
}

MapGridHeat::MapGridHeat(wxGrid& grid, MapGridKind kind) : grid(grid), look(std::make_shared<MapGridLook>())
{
    look->kind = kind;
    for (int col = 0; col < grid.GetNumberCols(); ++col) {
        wxGridCellAttr* attr = grid.GetTable()->GetAttr(-1, col, wxGridCellAttr::Col);
        if (!attr)
            attr = new wxGridCellAttr;
        attr->SetRenderer(new HeatMapCellRenderer(look));
        grid.SetColAttr(col, attr);
    }

    legend = new MapHeatLegend(grid.GetParent(), kind);
    if (wxSizer* sizer = grid.GetContainingSizer()) {
        // The grid and its legend side by side, where the grid was.
        const wxSizerItem* item = sizer->GetItem(&grid);
        const int proportion = item->GetProportion();
        const int flag = item->GetFlag();
        const int border = item->GetBorder();
        int index = 0;
        for (const wxSizerItem* child : sizer->GetChildren()) {
            if (child == item)
                break;
            ++index;
        }
        sizer->Detach(&grid);
        auto* beside = new wxBoxSizer(wxHORIZONTAL);
        // As wide as its columns (and a vertical scroll bar, should the
        // rows not fit), so that the legend sits right beside the cells.
        grid.SetMinSize(wxSize(grid.GetBestSize().x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, &grid),
                               grid.GetMinSize().y));
        beside->Add(&grid, 0, wxEXPAND);
        beside->Add(legend, 0, wxEXPAND | wxLEFT, 6);
        sizer->Insert(index, beside, proportion, flag, border);
        grid.GetParent()->Layout();
    }

    dueTimer.Bind(wxEVT_TIMER, &MapGridHeat::OnDue, this);
}

MapGridHeat::~MapGridHeat()
{
    dueTimer.Stop();
    dueTimer.Unbind(wxEVT_TIMER, &MapGridHeat::OnDue, this);
}

void MapGridHeat::ShowOperatingPoint(uint32_t rpm, uint32_t gear)
{
    const bool perGearColumns = grid.GetNumberCols() > 1 && grid.IsColShown(1);
    const int64_t now = SteadyMilliseconds();
    if (const auto move = pacer.Ask(OperatingCell(rpm, gear, look->kind, perGearColumns), now)) {
        Apply(*move);
    } else if (const auto due = pacer.DueAt(); due && !dueTimer.IsRunning()) {
        dueTimer.StartOnce(static_cast<int>(std::max<int64_t>(*due - now, 1)));
    }
}

void MapGridHeat::ShowVisits(const std::optional<MapVisitCounts>& counts)
{
    if (look->visits == counts)
        return;
    look->visits = counts;
    grid.ForceRefresh();
}

void MapGridHeat::OnDue(wxTimerEvent& /*event*/)
{
    const int64_t now = SteadyMilliseconds();
    if (const auto move = pacer.Due(now))
        Apply(*move);
    else if (const auto due = pacer.DueAt())
        dueTimer.StartOnce(static_cast<int>(std::max<int64_t>(*due - now, 1)));
}

void MapGridHeat::Apply(const OutlinePacer::Move& move)
{
    look->outlined = move.to;
    RefreshCell(move.from);
    RefreshCell(move.to);
}

void MapGridHeat::RefreshCell(const std::optional<GridCell>& cell)
{
    if (cell && cell->row < grid.GetNumberRows() && cell->col < grid.GetNumberCols())
        grid.RefreshBlock(cell->row, cell->col, cell->row, cell->col);
}
