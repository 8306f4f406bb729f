// The heat-map maps on the main window: a cell's colour follows its value
// through edits, pastes, fill down and loads, and the operating point of a
// virtual unit's running engine is outlined in both maps, moving without
// repainting the whole grid and gone when the unit is.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/grid.h>
#include <wx/image.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "LiveFirmwareTestSupport.h"
#include "config/ConfigurationImage.h"
#include "editor/OperatingPoint.h"
#include "emulator/LiveEngine.h"

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 22;

wxGrid* Blipper(VTX_GUIFrame* frame)
{
    return Ctrl<wxGrid>(frame, "ID_GRID2");
}
wxGrid* Shifter(VTX_GUIFrame* frame)
{
    return Ctrl<wxGrid>(frame, "ID_GRID3");
}

// The grid's merged attribute of a cell, as its paint uses it (the member is
// protected; a pointer to it taken through a derived class is not).
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

// The background left of the right-aligned number, clear of any outline.
wxColour Background(wxGrid* grid, int row, int col)
{
    const wxImage image = PaintedCell(grid, row, col);
    return wxColour(image.GetRed(6, kHeight / 2), image.GetGreen(6, kHeight / 2),
                    image.GetBlue(6, kHeight / 2));
}

bool IsOutlined(const wxImage& image)
{
    auto is = [&](int x, int y, unsigned char value) {
        return image.GetRed(x, y) == value && image.GetGreen(x, y) == value && image.GetBlue(x, y) == value;
    };
    return is(0, 0, 0) && is(kWidth - 1, kHeight - 1, 0) && is(2, kHeight / 2, 255);
}

std::vector<GridCell> OutlinedCells(wxGrid* grid)
{
    std::vector<GridCell> cells;
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int col = 0; col < grid->GetNumberCols(); ++col)
            if (IsOutlined(PaintedCell(grid, row, col)))
                cells.push_back({row, col});
    return cells;
}

void SetClipboard(const wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
}

// Brings the notebook page of a grid to the front while it exists.
class PageInFront {
public:
    explicit PageInFront(wxWindow* control)
    {
        for (wxWindow* page = control; page && page->GetParent(); page = page->GetParent()) {
            if ((book = dynamic_cast<wxNotebook*>(page->GetParent()))) {
                previous = book->GetSelection();
                book->SetSelection(book->FindPage(page));
                return;
            }
        }
    }
    ~PageInFront()
    {
        if (book)
            book->SetSelection(previous);
    }
    PageInFront(const PageInFront&) = delete;
    PageInFront& operator=(const PageInFront&) = delete;

private:
    wxNotebook* book = nullptr;
    int previous = 0;
};

// A moment of the simulated ride in `gear` whose engine speed lies well away
// from half-way between two rpm points, so that the decoded speed (which the
// report's period rounds) is in the same row.
uint64_t MomentInGear(uint8_t gear, uint64_t from = 0)
{
    for (uint64_t t = from; t < 24000; t += 10) {
        const uint32_t rpm = LiveEngine::Rpm(t);
        if (LiveEngine::Gear(t) == gear && rpm >= 2000 && rpm % 1000 >= 150 && rpm % 1000 <= 350)
            return t;
    }
    ADD_FAILURE() << "no such moment in gear " << int{gear};
    return 0;
}

// Collects the parts of a grid's cell area that are painted.
class PaintRecorder {
public:
    explicit PaintRecorder(wxGrid* grid) : window(grid->GetGridWindow())
    {
        window->Bind(wxEVT_PAINT, &PaintRecorder::OnPaint, this);
    }
    ~PaintRecorder() { window->Unbind(wxEVT_PAINT, &PaintRecorder::OnPaint, this); }
    PaintRecorder(const PaintRecorder&) = delete;
    PaintRecorder& operator=(const PaintRecorder&) = delete;

    std::vector<wxRect> painted;

private:
    void OnPaint(wxPaintEvent& event)
    {
        painted.push_back(window->GetUpdateRegion().GetBox());
        event.Skip();
    }
    wxWindow* window;
};

// A cell's place in the grid window, a little larger for the grid lines.
wxRect CellOnScreen(wxGrid* grid, GridCell cell)
{
    wxRect rect = grid->CellToRect(cell.row, cell.col);
    rect.SetPosition(grid->CalcScrolledPosition(rect.GetPosition()));
    return rect.Inflate(3);
}

}  // namespace

TEST_F(OnVirtualBus, MapCellColourFollowsEditsPastesFillDownAndLoads)
{
    const wxColour grey(224, 224, 224), darkEnd(68, 1, 84), lightEnd(253, 231, 37), white(255, 255, 255);
    wxGrid* shifter = Shifter(frame);
    wxGrid* blipper = Blipper(frame);
    DeviceConfiguration config = frame->GetDevice()->GetDefaultConfiguration();
    for (int32_t& cell : config.ShifterMap[1])
        cell = 150;
    config.BlipperMap[0][3] = 0;  // grid row 2
    config.BlipperMap[0][4] = 30;
    frame->ShowConfiguration(config);
    EXPECT_EQ(Background(shifter, 0, 1), lightEnd);
    EXPECT_EQ(Background(blipper, 2, 0), grey);
    EXPECT_EQ(Background(blipper, 3, 0), darkEnd);
    EXPECT_EQ(Background(blipper, 4, 0), Background(blipper, 5, 0)) << "the same value, the same colour";
    EXPECT_NE(Background(blipper, 4, 0), darkEnd);

    // Typed through the grid's editor.
    shifter->SetFocus();
    shifter->SetGridCursor(5, 2);
    shifter->EnableCellEditControl(true);
    wxGridCellEditor* editor = shifter->GetCellEditor(5, 2);
    if (auto* text = dynamic_cast<wxTextCtrl*>(editor->GetWindow()))
        text->SetValue("30");
    else if (auto* spin = dynamic_cast<wxSpinCtrl*>(editor->GetWindow()))
        spin->SetValue(30);
    editor->DecRef();
    shifter->DisableCellEditControl();
    EXPECT_EQ(shifter->GetCellValue(5, 2), "30");
    EXPECT_EQ(Background(shifter, 5, 2), darkEnd);

    // Pasted, then filled down.
    SetClipboard("0\t150");
    shifter->ClearSelection();
    shifter->SetGridCursor(7, 3);
    RunMenuCommand(frame, "idPaste");
    EXPECT_EQ(Background(shifter, 7, 3), grey);
    EXPECT_EQ(Background(shifter, 7, 4), lightEnd);
    shifter->SelectBlock(7, 4, 9, 4);
    RunMenuCommand(frame, "idFillDown");
    EXPECT_EQ(Background(shifter, 9, 4), lightEnd);

    // A value the unit does not take, put there by a program or a file.
    shifter->SetCellValue(10, 0, "12");
    EXPECT_EQ(Background(shifter, 10, 0), white);
}

TEST_F(OnVirtualBus, OperatingPointOfTheRunningEngineIsOutlinedInBothMaps)
{
    UnitOptions options;
    options.generation = 108;
    options.serial = "MH000001";
    VirtualUnit& unit = bus->AddUnit(options);
    const uint64_t third = MomentInGear(3);
    unit.HoldEngineAt(third);
    frame->AutoConnect();
    Pump();
    ASSERT_FALSE(IsSimulated(frame));
    const int row = static_cast<int>((LiveEngine::Rpm(third) - 1500) / 1000);
    wxGrid* shifter = Shifter(frame);
    wxGrid* blipper = Blipper(frame);
    ASSERT_TRUE(RunEventsUntil([&] { return !OutlinedCells(blipper).empty(); }));
    EXPECT_EQ(OutlinedCells(shifter), (std::vector<GridCell>{{row, 2}})) << LiveEngine::Rpm(third) << " rpm";
    EXPECT_EQ(OutlinedCells(blipper), (std::vector<GridCell>{{row, 1}}));

    // While the cell stays, the polls paint nothing of the grid; when it
    // moves, only the cell left and the cell entered are painted.
    PageInFront page(shifter);
    PaintRecorder recorder(shifter);
    for (int settle = 0; settle < 10; ++settle) {  // the page's own first paint
        recorder.painted.clear();
        RunEventsFor(300);
        if (recorder.painted.empty())
            break;
    }
    RunEventsFor(700);
    EXPECT_TRUE(recorder.painted.empty()) << recorder.painted.size() << " paints";
    const uint64_t fifth = MomentInGear(5);
    const GridCell from{row, 2};
    const GridCell to{static_cast<int>((LiveEngine::Rpm(fifth) - 1500) / 1000), 4};
    unit.HoldEngineAt(fifth);
    ASSERT_TRUE(RunEventsUntil([&] { return OutlinedCells(shifter) == std::vector<GridCell>{to}; }));
    RunEventsFor(300);
    ASSERT_FALSE(recorder.painted.empty());
    const wxRect allowed = CellOnScreen(shifter, from).Union(CellOnScreen(shifter, to));
    for (const wxRect& rect : recorder.painted)
        EXPECT_TRUE(allowed.Contains(rect)) << rect.x << ',' << rect.y << ' ' << rect.width << 'x'
                                            << rect.height << " is outside the two cells";

    // Unplugged: the zeroed view has no operating point.
    bus->Unplug(unit);
    ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
    EXPECT_TRUE(
        RunEventsUntil([&] { return OutlinedCells(shifter).empty() && OutlinedCells(blipper).empty(); }));
}
