#include "gui/editors/MapToolCommands.h"

#include <algorithm>
#include <span>
#include <utility>

#include <wx/choicdlg.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textdlg.h>
#include <wx/xrc/xmlres.h>

#include "gui/editors/ClipboardText.h"
#include "session/UserSettings.h"

namespace {

std::string Utf8(const wxString& text)
{
    const wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

wxString Translated(const char* utf8)
{
    return wxGetTranslation(wxString::FromUTF8(utf8));
}

// The sizer that holds `item` as a direct child, searched from `sizer` down,
// and where in it.
wxSizer* SizerHolding(wxSizer* sizer, const wxSizer* item, size_t& index)
{
    if (!sizer)
        return nullptr;
    index = 0;
    for (wxSizerItem* child : sizer->GetChildren()) {
        if (child->GetSizer() == item)
            return sizer;
        ++index;
    }
    for (wxSizerItem* child : sizer->GetChildren())
        if (wxSizer* found = SizerHolding(child->GetSizer(), item, index))
            return found;
    return nullptr;
}

bool WithoutCommandKeys(const wxKeyEvent& event)
{
    return (event.GetModifiers() & (wxMOD_CONTROL | wxMOD_ALT | wxMOD_META)) == 0;
}

}  // namespace

const std::vector<MapToolCommands::ToolItem>& MapToolCommands::Items()
{
    // The keys are the grid's own (see RunKey), shown in the label.
    static const std::vector<ToolItem> items = {
        {MapTool::Increase, "idMapIncrease", wxTRANSLATE("&Increase (+)")},
        {MapTool::Decrease, "idMapDecrease", wxTRANSLATE("&Decrease (-)")},
        {MapTool::IncreaseTen, "idMapIncreaseTen",
         wxTRANSLATE("Increase \xC3\x97"
                     "10 (Page Up)")},
        {MapTool::DecreaseTen, "idMapDecreaseTen",
         wxTRANSLATE("Decrease \xC3\x97"
                     "10 (Page Down)")},
        {MapTool::Set, "idMapSet", wxTRANSLATE("&Set to... (=)")},
        {MapTool::Add, "idMapAdd", wxTRANSLATE("&Add...")},
        {MapTool::Scale, "idMapScale", wxTRANSLATE("S&cale... (*)")},
        {MapTool::InterpolateVertically, "idMapInterpolateVertically",
         wxTRANSLATE("Interpolate &vertically (V)")},
        {MapTool::InterpolateHorizontally, "idMapInterpolateHorizontally",
         wxTRANSLATE("Interpolate &horizontally (H)")},
        {MapTool::Interpolate, "idMapInterpolate", wxTRANSLATE("I&nterpolate (/)")},
        {MapTool::Smooth, "idMapSmooth", wxTRANSLATE("S&mooth (S)")},
        {MapTool::PasteSpecial, "idMapPasteSpecial", wxTRANSLATE("&Paste special...\tCtrl+Shift+V")},
    };
    return items;
}

MapToolCommands::MapToolCommands(Wiring wiring) : wiring(std::move(wiring))
{
    step = UserSettings().ReadMapToolStep();
}

MapToolCommands::~MapToolCommands()
{
    for (const ToolItem& item : Items())
        wiring.window.Unbind(wxEVT_MENU, &MapToolCommands::OnMenu, this, XRCID(item.name));
    wiring.window.Unbind(wxEVT_MENU, &MapToolCommands::OnShowKeys, this, XRCID("idMapToolKeys"));
    for (const AttachedGrid& attached : grids) {
        attached.grid->Unbind(wxEVT_KEY_DOWN, &MapToolCommands::OnKeyDown, this);
        attached.grid->Unbind(wxEVT_CHAR, &MapToolCommands::OnChar, this);
        attached.grid->Unbind(wxEVT_GRID_CELL_RIGHT_CLICK, &MapToolCommands::OnContextMenu, this);
        attached.stepChoice->Unbind(wxEVT_CHOICE, &MapToolCommands::OnStepChosen, this);
    }
}

void MapToolCommands::BindHandlers()
{
    wiring.window.Bind(wxEVT_MENU, &MapToolCommands::OnShowKeys, this, XRCID("idMapToolKeys"));
    for (const ToolItem& item : Items())
        wiring.window.Bind(wxEVT_MENU, &MapToolCommands::OnMenu, this, XRCID(item.name));
}

wxSizer* MapToolCommands::AttachGrid(wxGrid& grid, MapGridKind kind)
{
    if (Attached(&grid))
        return nullptr;
    // Below the grid and its legend: the step of Increase and Decrease.
    auto* choice = new wxChoice(grid.GetParent(), wxID_ANY);
    choice->SetName(kind == MapGridKind::Blipper ? "ID_MAP_STEP_BLIPPER" : "ID_MAP_STEP_SHIFTER");
    for (int ms : kMapToolSteps)
        choice->Append(wxString::Format(_("%d ms"), ms));
    choice->SetSelection(static_cast<int>(std::find(kMapToolSteps.begin(), kMapToolSteps.end(), step) -
                                          kMapToolSteps.begin()));
    choice->SetToolTip(_("The step of Increase (+) and Decrease (-)"));
    size_t index = 0;
    wxSizer* beside = grid.GetContainingSizer();
    // A static box's children are laid out by a sizer of a window above it.
    wxSizer* holder = nullptr;
    for (wxWindow* above = grid.GetParent(); beside && above && !holder; above = above->GetParent())
        holder = SizerHolding(above->GetSizer(), beside, index);
    wxBoxSizer* line = nullptr;
    if (holder) {
        line = new wxBoxSizer(wxHORIZONTAL);
        line->Add(new wxStaticText(grid.GetParent(), wxID_ANY, _("Step of + and -:")), 0,
                  wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        line->Add(choice, 0, wxALIGN_CENTER_VERTICAL);
        holder->Insert(index + 1, line, 0, wxALL, 5);
        holder->Layout();
    }
    choice->Bind(wxEVT_CHOICE, &MapToolCommands::OnStepChosen, this);
    grids.push_back({&grid, kind, choice});
    grid.Bind(wxEVT_KEY_DOWN, &MapToolCommands::OnKeyDown, this);
    grid.Bind(wxEVT_CHAR, &MapToolCommands::OnChar, this);
    grid.Bind(wxEVT_GRID_CELL_RIGHT_CLICK, &MapToolCommands::OnContextMenu, this);
    return line;
}

const MapToolCommands::AttachedGrid* MapToolCommands::Attached(const wxWindow* window) const
{
    for (; window; window = window->GetParent()) {
        for (const AttachedGrid& attached : grids)
            if (attached.grid == window)
                return &attached;
        if (window->IsTopLevel())
            break;
    }
    return nullptr;
}

const MapToolCommands::AttachedGrid* MapToolCommands::Target() const
{
    return contextGrid ? contextGrid : Attached(wxWindow::FindFocus());
}

void MapToolCommands::OnMenu(wxCommandEvent& event)
{
    const AttachedGrid* target = Target();
    if (!target) {
        wiring.say(_("The map tools work on a map: click a cell of the shifter or blipper map first"));
        return;
    }
    for (const ToolItem& item : Items())
        if (event.GetId() == XRCID(item.name))
            Run(item.tool, *target);
}

wxString MapToolCommands::KeysText()
{
    return _(
        "In a map grid that has the keyboard, with no cell being typed in:\n\n"
        "+ or keypad +\tIncrease by the step\n"
        "- or keypad -\tDecrease by the step\n"
        "Page Up\tIncrease by ten steps\n"
        "Page Down\tDecrease by ten steps\n"
        "=\tSet to...\n"
        "*\tScale...\n"
        "V\tInterpolate vertically\n"
        "H\tInterpolate horizontally\n"
        "/\tInterpolate (from the four corners)\n"
        "S\tSmooth\n"
        "Ctrl+Shift+V\tPaste special...\n\n"
        "A tool works on the selected cells, or on the cursor cell when none is selected. "
        "Cells of 0 (no cut) are left alone.");
}

void MapToolCommands::OnShowKeys(wxCommandEvent& /*event*/)
{
    wxMessageBox(KeysText(), _("Map tool keys"), wxOK | wxICON_INFORMATION, &wiring.window);
}

void MapToolCommands::OnKeyDown(wxKeyEvent& event)
{
    if (!RunKey(event, false))
        event.Skip();
}

void MapToolCommands::OnChar(wxKeyEvent& event)
{
    if (!RunKey(event, true))
        event.Skip();
}

bool MapToolCommands::RunKey(wxKeyEvent& event, bool fromChar)
{
    const AttachedGrid* target = Attached(dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (!target || target->grid->IsCellEditControlShown() || !WithoutCommandKeys(event))
        return false;
    // Keys that make no character, and the keypad's, which the grid would
    // otherwise take as the start of typing; then the characters.
    static constexpr std::pair<int, MapTool> kKeys[] = {
        {WXK_PAGEUP, MapTool::IncreaseTen},    {WXK_PAGEDOWN, MapTool::DecreaseTen},
        {WXK_NUMPAD_ADD, MapTool::Increase},   {WXK_NUMPAD_SUBTRACT, MapTool::Decrease},
        {WXK_NUMPAD_MULTIPLY, MapTool::Scale}, {WXK_NUMPAD_DIVIDE, MapTool::Interpolate},
        {WXK_NUMPAD_EQUAL, MapTool::Set}};
    static constexpr std::pair<int, MapTool> kCharacters[] = {{'+', MapTool::Increase},
                                                              {'-', MapTool::Decrease},
                                                              {'=', MapTool::Set},
                                                              {'*', MapTool::Scale},
                                                              {'/', MapTool::Interpolate},
                                                              {'v', MapTool::InterpolateVertically},
                                                              {'h', MapTool::InterpolateHorizontally},
                                                              {'s', MapTool::Smooth}};
    const int key = fromChar ? static_cast<int>(wxTolower(event.GetUnicodeKey())) : event.GetKeyCode();
    std::optional<MapTool> tool;
    using Keys = std::span<const std::pair<int, MapTool>>;
    for (const auto& [code, action] : fromChar ? Keys(kCharacters) : Keys(kKeys))
        if (code == key)
            tool = action;
    if (!tool)
        return false;
    Run(*tool, *target);
    return true;
}

void MapToolCommands::OnContextMenu(wxGridEvent& event)
{
    const AttachedGrid* target = Attached(dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (!target) {
        event.Skip();
        return;
    }
    wxGrid& grid = *target->grid;
    if (!grid.IsInSelection(event.GetRow(), event.GetCol())) {
        grid.ClearSelection();
        grid.SetGridCursor(event.GetRow(), event.GetCol());
    }
    grid.SetFocus();
    wxMenu menu;
    for (const ToolItem& item : Items())
        menu.Append(XRCID(item.name), Translated(item.label));
    contextGrid = target;
    grid.PopupMenu(&menu, event.GetPosition());
    contextGrid = nullptr;
}

void MapToolCommands::OnStepChosen(wxCommandEvent& event)
{
    const int chosen = event.GetSelection();
    if (chosen < 0 || chosen >= static_cast<int>(kMapToolSteps.size()))
        return;
    step = kMapToolSteps[chosen];
    for (const AttachedGrid& attached : grids)
        attached.stepChoice->SetSelection(chosen);
    UserSettings().WriteMapToolStep(step);
}

bool MapToolCommands::AskNumber(const wxString& question, const wxString& caption, long& value)
{
    wxTextEntryDialog dialog(&wiring.window, question, caption);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    if (!ParseInteger(Utf8(dialog.GetValue().Strip(wxString::both)), value)) {
        wiring.say(wxString::Format(_("%s: \"%s\" is not a whole number"), caption, dialog.GetValue()));
        return false;
    }
    return true;
}

wxString MapToolCommands::CellName(const AttachedGrid& target, int row, int col) const
{
    const wxGrid& grid = *target.grid;
    const wxString rpm = wxString::Format(_("%s rpm"), grid.GetRowLabelValue(row));
    if (grid.GetNumberCols() > 1 && grid.IsColShown(1))
        return wxString::Format(_("%s, gear %s"), rpm, grid.GetColLabelValue(col));
    return rpm;
}

void MapToolCommands::Run(MapTool tool, const AttachedGrid& target)
{
    wxGrid& grid = *target.grid;
    if (!grid.IsEditable())
        return;
    // What is being typed in a cell is taken first, as a step of its own.
    if (grid.IsCellEditControlEnabled())
        grid.DisableCellEditControl();
    const int rows = std::min(grid.GetNumberRows(), kMapGridRows);
    const int cols = std::min(grid.GetNumberCols(), kMapGridCols);
    MapGridValues values{};
    std::vector<std::vector<bool>> selected(rows, std::vector<bool>(cols));
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            values[row][col] = LeadingInteger(Utf8(grid.GetCellValue(row, col)));
            selected[row][col] = grid.IsInSelection(row, col);
        }
    std::array<bool, kMapGridCols> shown{};
    for (int col = 0; col < cols; ++col)
        shown[col] = grid.IsColShown(col);
    const MapCellSelection cells =
        ToolCells(selected, shown, {grid.GetGridCursorRow(), grid.GetGridCursorCol()});
    const wxString name = Translated(MapToolStepName(tool));
    const long maximum = MapCellMaximum(target.kind);

    MapToolOutcome outcome;
    long value = 0;
    switch (tool) {
        case MapTool::Increase:
        case MapTool::Decrease:
        case MapTool::IncreaseTen:
        case MapTool::DecreaseTen: {
            const long steps = tool == MapTool::IncreaseTen || tool == MapTool::DecreaseTen ? 10 : 1;
            const long sign = tool == MapTool::Increase || tool == MapTool::IncreaseTen ? 1 : -1;
            outcome = AddToCells(values, cells, target.kind, sign * steps * step);
            break;
        }
        case MapTool::Set:
            if (!AskNumber(
                    wxString::Format(_("Cut time in ms: 0 (no cut) or %ld to %ld"), kMapCellMinimum, maximum),
                    name, value))
                return;
            outcome = SetCells(values, cells, target.kind, value);
            break;
        case MapTool::Add:
            if (!AskNumber(_("Milliseconds to add (negative to take off):"), name, value))
                return;
            outcome = AddToCells(values, cells, target.kind, std::clamp(value, -1000L, 1000L));
            break;
        case MapTool::Scale:
            if (!AskNumber(_("Percentage of the cut times (e.g. 90 or 110):"), name, value))
                return;
            outcome = ScaleCells(values, cells, target.kind, std::min(value, 10000L));
            break;
        case MapTool::InterpolateVertically:
            outcome = InterpolateVertically(values, cells, target.kind);
            break;
        case MapTool::InterpolateHorizontally:
            outcome = InterpolateHorizontally(values, cells, target.kind);
            break;
        case MapTool::Interpolate:
            outcome = InterpolateBlock(values, cells, target.kind);
            break;
        case MapTool::Smooth:
            outcome = SmoothCells(values, cells, target.kind);
            break;
        case MapTool::PasteSpecial: {
            wxString text;
            if (!ReadClipboardText(text)) {
                outcome.refusal = MapToolRefusal::NoClipboardCells;
                break;
            }
            const wxString operations[] = {_("Add"), _("Subtract"), _("Multiply by percent"), _("Average")};
            wxSingleChoiceDialog dialog(&wiring.window,
                                        _("Combine the clipboard's cells with the cells under them:"), name,
                                        4, operations);
            if (dialog.ShowModal() != wxID_OK)
                return;
            MapCellSelection all{};
            all.fill(shown);
            outcome = PasteSpecialCells(values, all, target.kind, Utf8(text), grid.GetGridCursorRow(),
                                        grid.GetGridCursorCol(),
                                        static_cast<PasteOperation>(dialog.GetSelection()));
            break;
        }
    }

    switch (outcome.refusal) {
        case MapToolRefusal::None:
            break;
        case MapToolRefusal::ValueOutOfRange:
            wiring.say(wxString::Format(_("%s: %ld is neither 0 nor within %ld to %ld ms"), name, value,
                                        kMapCellMinimum, maximum));
            return;
        case MapToolRefusal::ZeroCorner:
            wiring.say(wxString::Format(_("%s: the corner at %s is 0 (no cut); nothing changed"), name,
                                        CellName(target, outcome.at->row, outcome.at->col)));
            return;
        case MapToolRefusal::NoPercentage:
            wiring.say(wxString::Format(_("%s: the percentage must be above 0"), name));
            return;
        case MapToolRefusal::NoClipboardCells:
            wiring.say(wxString::Format(_("%s: the clipboard holds no map cells"), name));
            return;
    }
    if (outcome.writes.empty())
        return;
    grid.BeginBatch();
    for (const CellWrite& write : outcome.writes)
        grid.SetCellValue(write.row, write.col, wxString::Format("%ld", write.value));
    grid.EndBatch();
    wiring.edited(name);
}
