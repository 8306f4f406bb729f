// The heat-map maps on the main window: a cell's colour follows its value
// through pastes, fill down and loads, and the operating point of a virtual
// unit's running engine is outlined in both maps, moving without repainting
// the whole grid and gone when the unit is.
#include <gtest/gtest.h>

#include <vector>

#include <wx/bitmap.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/grid.h>
#include <wx/notebook.h>

#include "GuiTestSupport.h"
#include "editor/OperatingPoint.h"
#include "emulator/LiveEngine.h"

namespace {

constexpr int kWidth = 48, kHeight = 22;

// The grid's merged attribute of a cell is protected; a pointer to the member
// taken through a derived class is not.
struct GridAttrAccess : wxGrid {
    using wxGrid::GetCellAttr;
};

// The cell as the grid paints it, through the grid's own renderer.
wxImage PaintedCell(wxGrid* grid, int row, int col)
{
    wxGridCellAttr* (wxGrid::*cellAttr)(int, int) const = &GridAttrAccess::GetCellAttr;
    wxBitmap bitmap(kWidth, kHeight, 24);
    {
        wxMemoryDC dc(bitmap);
        wxGridCellAttr* attr = (grid->*cellAttr)(row, col);
        wxGridCellRenderer* renderer = attr->GetRenderer(grid, row, col);
        renderer->Draw(*grid, *attr, dc, wxRect(0, 0, kWidth, kHeight), row, col, false);
        renderer->DecRef();
        attr->DecRef();
    }
    return bitmap.ConvertToImage();
}

// Left of the right-aligned number, inside any outline.
wxColour Background(wxGrid* grid, int row, int col)
{
    const wxImage image = PaintedCell(grid, row, col);
    return wxColour(image.GetRed(6, kHeight / 2), image.GetGreen(6, kHeight / 2),
                    image.GetBlue(6, kHeight / 2));
}

// Cells with the black ring outside and the white ring inside it.
std::vector<GridCell> OutlinedCells(wxGrid* grid)
{
    std::vector<GridCell> cells;
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int col = 0; col < grid->GetNumberCols(); ++col) {
            const wxImage image = PaintedCell(grid, row, col);
            if (image.GetRed(0, 0) + image.GetGreen(kWidth - 1, kHeight - 1) == 0 &&
                image.GetBlue(2, kHeight / 2) == 255)
                cells.push_back({row, col});
        }
    return cells;
}

// A moment of the simulated ride in `gear` whose engine speed is well away
// from half-way between two rpm points (the report's period rounds it).
uint64_t MomentInGear(uint8_t gear)
{
    for (uint64_t t = 0; t < 24000; t += 10)
        if (LiveEngine::Gear(t) == gear && LiveEngine::Rpm(t) >= 2000 && LiveEngine::Rpm(t) % 1000 >= 150 &&
            LiveEngine::Rpm(t) % 1000 <= 350)
            return t;
    ADD_FAILURE() << "no such moment in gear " << int{gear};
    return 0;
}

int RowAt(uint64_t moment)
{
    return static_cast<int>((LiveEngine::Rpm(moment) - 1500) / 1000);
}

// The rectangles of a grid's cell area that its paints covered.
struct PaintRecorder {
    explicit PaintRecorder(wxGrid* grid) : window(grid->GetGridWindow())
    {
        window->Bind(wxEVT_PAINT, &PaintRecorder::OnPaint, this);
    }
    ~PaintRecorder() { window->Unbind(wxEVT_PAINT, &PaintRecorder::OnPaint, this); }
    void OnPaint(wxPaintEvent& event)
    {
        for (wxRegionIterator part(window->GetUpdateRegion()); part; ++part)
            painted.push_back(part.GetRect());
        event.Skip();
    }
    wxWindow* window;
    std::vector<wxRect> painted;
};

// A cell's place in the grid window, a little larger for the grid lines.
wxRect CellOnScreen(wxGrid* grid, GridCell cell)
{
    wxRect rect = grid->CellToRect(cell.row, cell.col);
    rect.SetPosition(grid->CalcScrolledPosition(rect.GetPosition()));
    return rect.Inflate(3);
}

}  // namespace

TEST_F(OnVirtualBus, MapCellColourFollowsPastesFillDownAndLoads)
{
    const wxColour grey(224, 224, 224), darkEnd(68, 1, 84), lightEnd(253, 231, 37), white(255, 255, 255);
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto* blipper = Ctrl<wxGrid>(frame, "ID_GRID2");
    DeviceConfiguration config = frame->GetDevice()->GetDefaultConfiguration();
    config.ShifterMap[1][1] = 150;
    config.BlipperMap[0][3] = 0;  // grid row 2
    config.BlipperMap[0][4] = 30;
    frame->ShowConfiguration(config);
    EXPECT_EQ(Background(shifter, 0, 1), lightEnd);
    EXPECT_EQ(Background(blipper, 2, 0), grey);
    EXPECT_EQ(Background(blipper, 3, 0), darkEnd);

    wxTheClipboard->UsePrimarySelection(false);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject("0\t150"));
    wxTheClipboard->Close();
    shifter->SetFocus();
    shifter->ClearSelection();
    shifter->SetGridCursor(7, 3);
    RunMenuCommand(frame, "idPaste");
    EXPECT_EQ(Background(shifter, 7, 3), grey);
    EXPECT_EQ(Background(shifter, 7, 4), lightEnd);
    shifter->SelectBlock(7, 4, 9, 4);
    RunMenuCommand(frame, "idFillDown");
    EXPECT_EQ(Background(shifter, 9, 4), lightEnd);
    // A value the unit does not take, as a file may hold it.
    shifter->SetCellValue(10, 0, "12");
    EXPECT_EQ(Background(shifter, 10, 0), white);

    // A cell given a background of its own (Compare marks the cells that
    // differ so) shows it as a frame around its heat colour.
    const wxColour mark(255, 214, 102);
    blipper->SetCellBackgroundColour(3, 0, mark);
    blipper->RefreshAttr(3, 0);  // the grid keeps the cell's merged look cached
    const wxImage marked = PaintedCell(blipper, 3, 0);
    const wxColour frameSeen(marked.GetRed(1, kHeight / 2), marked.GetGreen(1, kHeight / 2),
                             marked.GetBlue(1, kHeight / 2));
    EXPECT_EQ(frameSeen, mark) << frameSeen.GetAsString(wxC2S_HTML_SYNTAX);
    EXPECT_EQ(Background(blipper, 3, 0), darkEnd);
    blipper->SetCellBackgroundColour(3, 0, blipper->GetDefaultCellBackgroundColour());
    blipper->RefreshAttr(3, 0);
    const wxImage plain = PaintedCell(blipper, 3, 0);
    EXPECT_EQ(
        wxColour(plain.GetRed(1, kHeight / 2), plain.GetGreen(1, kHeight / 2), plain.GetBlue(1, kHeight / 2)),
        darkEnd);
}

TEST_F(OnVirtualBus, OperatingPointOfTheRunningEngineIsOutlinedInBothMaps)
{
    VirtualUnit& unit = PlugUnit("MH000001");
    const uint64_t third = MomentInGear(3);
    unit.HoldEngineAt(third);
    Launch();
    ASSERT_FALSE(IsSimulated(frame));
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto* blipper = Ctrl<wxGrid>(frame, "ID_GRID2");
    const GridCell from{RowAt(third), 2};
    ASSERT_TRUE(RunEventsUntil([&] { return !OutlinedCells(blipper).empty(); }));
    EXPECT_EQ(OutlinedCells(shifter), std::vector<GridCell>{from}) << LiveEngine::Rpm(third) << " rpm";
    EXPECT_EQ(OutlinedCells(blipper), (std::vector<GridCell>{{from.row, 1}}));

    // While the cell stays, the polls paint nothing of the grid; when it
    // moves, only the cell left and the cell entered are painted (GTK 3
    // paints the box around both at once: the next gear's column is beside).
    auto* book = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
    const int previousPage = book->GetSelection();
    book->SetSelection(book->FindPage(Ctrl<wxWindow>(frame, "ID_PANEL2")));
    PaintRecorder recorder(shifter);
    for (int settle = 0; settle < 10; ++settle) {  // the page's own first paint
        recorder.painted.clear();
        RunEventsFor(300);
        if (recorder.painted.empty())
            break;
    }
    RunEventsFor(700);
    EXPECT_TRUE(recorder.painted.empty()) << recorder.painted.size() << " paints";
    const uint64_t fourth = MomentInGear(4);
    const GridCell to{RowAt(fourth), 3};
    unit.HoldEngineAt(fourth);
    ASSERT_TRUE(RunEventsUntil([&] { return OutlinedCells(shifter) == std::vector<GridCell>{to}; }));
    RunEventsFor(300);
    book->SetSelection(previousPage);
    EXPECT_FALSE(recorder.painted.empty());
    const wxRect both = CellOnScreen(shifter, from).Union(CellOnScreen(shifter, to));
    for (const wxRect& rect : recorder.painted)
        EXPECT_TRUE(both.Contains(rect)) << rect.x << ',' << rect.y << ' ' << rect.width << 'x' << rect.height
                                         << " is outside the two cells";

    // Unplugged: the zeroed view has no operating point.
    bus->Unplug(unit);
    ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
    EXPECT_TRUE(
        RunEventsUntil([&] { return OutlinedCells(shifter).empty() && OutlinedCells(blipper).empty(); }));
}
