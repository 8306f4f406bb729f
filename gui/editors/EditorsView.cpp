#include "gui/editors/EditorsView.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/grid.h>
#include <wx/numformatter.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "config/DefaultMaps.h"
#include "device/LiveData.h"
#include "gui/NotebookPages.h"
#include "gui/VantrelBase.h"
#include "gui/editors/ClipboardText.h"
#include "gui/editors/GearRpmSpeedPanel.h"
#include "gui/editors/GearVoltagePanel.h"
#include "gui/editors/MapGridHeat.h"
#include "gui/widgets/ErrorBox.h"
#include "gui/widgets/MyGrid.h"
#include "gui/widgets/SpinCtrlStep.h"
#include "session/Connection.h"
#include "session/EditorSession.h"

namespace {

void SetChoice(wxChoice* choice, int selection)
{
    if (selection >= 0 && selection < static_cast<int>(choice->GetCount()))
        choice->SetSelection(selection);
}

// Stepped spins must learn the value as their last settled one.
void SetSpin(wxSpinCtrl* spin, int value)
{
    if (auto* stepped = dynamic_cast<SpinCtrlStep*>(spin))
        stepped->SetValue(value);
    else
        spin->SetValue(value);
}

MapGridKind KindOf(const wxGrid* grid, const wxGrid* blipperGrid)
{
    return grid == blipperGrid ? MapGridKind::Blipper : MapGridKind::Shifter;
}

wxGrid* FindGridOrSpin(wxWindow* window, wxSpinCtrl** spin)
{
    *spin = nullptr;
    for (; window; window = window->GetParent()) {
        if (auto* grid = dynamic_cast<wxGrid*>(window))
            return grid;
        if (auto* found = dynamic_cast<wxSpinCtrl*>(window)) {
            *spin = found;
            return nullptr;
        }
        if (window->IsTopLevel())
            break;
    }
    return nullptr;
}

std::string Utf8(const wxString& text)
{
    const wxScopedCharBuffer buffer = text.utf8_str();
    return std::string(buffer.data(), buffer.length());
}

// One live read for a take-value button; false (after the message) on failure.
bool ReadLiveOnce(VantrelBase* device, LiveValues& values)
{
    if (device->GetLiveValues(&values) != 0) {
        ShowError(_("Data reading error"), _("Error"));
        return false;
    }
    return true;
}

// A take-value button of a gear panel: the reading goes into the spin beside
// the pressed button. False when nothing was taken.
template <size_t N>
bool TakeLiveGearValue(VantrelBase* device, const std::array<wxButton*, N>& buttons,
                       const std::array<wxSpinCtrl*, N>& spins, int buttonId, uint32_t LiveValues::*reading)
{
    const auto found = std::find_if(buttons.begin(), buttons.end(),
                                    [&](wxButton* button) { return button && button->GetId() == buttonId; });
    LiveValues values;
    if (found == buttons.end() || !device->IsOpen() || !ReadLiveOnce(device, values))
        return false;
    SetSpin(spins[found - buttons.begin()], static_cast<int>(values.*reading));
    return true;
}

}  // namespace

EditorsView::EditorsView(wxWindow& window, NotebookPages& pages, Connection& connection,
                         EditorSession& session, std::vector<wxString>& missing)
    : window(window), pages(pages), connection(connection), session(session), model(session.Model())
{
    FindControls(&missing);
    session.SetViewSync([this] { ReadControls(); });
}

void EditorsView::FindControls(std::vector<wxString>* missing)
{
    auto find = [&](const wxString& name) -> wxWindow* {
        wxWindow* found = window.FindWindow(XRCID(name));
        if (!found && missing && !pages.Awaits(name))
            missing->push_back(name);
        return found;
    };
    // The calibration spins are the panels' (AddGearPanels).
    for (const ControlBinding& binding : kEditorBindings)
        if (!wxString(binding.name).StartsWith("GEAR_"))
            controls[static_cast<size_t>(binding.control)] = find(binding.name);
    // Reserved controls: looked up with the layout, used by nothing yet.
    find("ID_CHOICE7");
    find("ID_SPINCTRL10");
    thresholdText = dynamic_cast<wxTextCtrl*>(window.FindWindow(XRCID("ID_TEXTCTRL12")));
    gearDetection = dynamic_cast<wxRadioBox*>(controls[static_cast<size_t>(EditorControl::GearDetection)]);
    // The map grids must be MyGrid (the corner names both axes).
    blipperGrid = dynamic_cast<MyGrid*>(find("ID_GRID2"));
    shifterGrid = dynamic_cast<MyGrid*>(find("ID_GRID3"));
    find("ID_BUTTON11");
    find("ID_BUTTON10");
    static const char* const labelNames[6] = {"ID_STATICTEXT35", "ID_STATICTEXT36", "ID_STATICTEXT37",
                                              "ID_STATICTEXT45", "ID_STATICTEXT47", "ID_STATICTEXT49"};
    for (size_t i = 0; i < polarityLabels.size(); ++i)
        polarityLabels[i] = dynamic_cast<wxStaticText*>(window.FindWindow(XRCID(labelNames[i])));
}

EditorsView::~EditorsView()
{
    session.SetViewSync({});
    for (const auto& unbind : unbinders)
        unbind();
}

template <class Event, class Target>
void EditorsView::Listen(Target* target, const wxEventTypeTag<Event>& type,
                         void (EditorsView::*handler)(Event&), int id)
{
    target->Bind(type, handler, this, id);
    unbinders.push_back([target, type, handler, id, this] { target->Unbind(type, handler, this, id); });
}

wxChoice* EditorsView::ChoiceOf(EditorControl control) const
{
    return static_cast<wxChoice*>(controls[static_cast<size_t>(control)]);
}

wxSpinCtrl* EditorsView::SpinOf(EditorControl control) const
{
    return static_cast<wxSpinCtrl*>(controls[static_cast<size_t>(control)]);
}

void EditorsView::BindHandlers()
{
    wxWindow* target = &window;
    Listen(target, wxEVT_MENU, &EditorsView::OnCopy, XRCID("idCopy"));
    Listen(target, wxEVT_MENU, &EditorsView::OnPaste, XRCID("idPaste"));
    Listen(target, wxEVT_MENU, &EditorsView::OnFillDown, XRCID("idFillDown"));
    for (EditorControl input : kInputFunctionControls)
        Listen(target, wxEVT_CHOICE, &EditorsView::OnInputFeatureChanged, XRCID(BindingOf(input).name));
    for (EditorControl output : {EditorControl::Output1, EditorControl::Output2})
        Listen(target, wxEVT_CHOICE, &EditorsView::OnOutputFeatureChanged, XRCID(BindingOf(output).name));
    Listen(target, wxEVT_RADIOBOX, &EditorsView::OnGearDetectionChanged,
           XRCID(BindingOf(EditorControl::GearDetection).name));
    for (EditorControl limit : {EditorControl::TpsMin, EditorControl::TpsMax})
        Listen(target, wxEVT_SPINCTRL, &EditorsView::OnValidatingSpinChanged, XRCID(BindingOf(limit).name));
    Listen(target, wxEVT_SPINCTRL, &EditorsView::OnThresholdSpinChanged,
           XRCID(BindingOf(EditorControl::ThresholdPercent).name));
    Listen(target, wxEVT_SPINCTRL, &EditorsView::OnWarmUpActiveTimeChanged,
           XRCID(BindingOf(EditorControl::WarmUpActive).name));
    Listen(target, wxEVT_BUTTON, &EditorsView::OnTakeTpsMin, XRCID("ID_BUTTON11"));
    Listen(target, wxEVT_BUTTON, &EditorsView::OnTakeTpsMax, XRCID("ID_BUTTON10"));
    Listen(target, wxEVT_GRID_CELL_CHANGING, &EditorsView::OnMapCellChanging, XRCID("ID_GRID2"));
    Listen(target, wxEVT_GRID_CELL_CHANGING, &EditorsView::OnMapCellChanging, XRCID("ID_GRID3"));
}

void EditorsView::SetUpMapGrids()
{
    // The model starts with the grids' starting times, for grids whose page
    // is not built yet.
    for (MapGridKind kind : {MapGridKind::Blipper, MapGridKind::Shifter})
        for (int row = 0; row < kMapGridRows; ++row)
            for (int col = 0; col < kMapGridCols; ++col)
                model.Grid(kind)[row][col] =
                    kind == MapGridKind::Blipper ? kDefaultBlipTime : kDefaultShifterCutTimes[col];
    mapGridsSetUp = true;
    for (wxGrid* grid : {blipperGrid, shifterGrid})
        if (grid)
            SetUpMapGrid(grid);
}

void EditorsView::SetUpMapGrid(wxGrid* grid)
{
    (grid == blipperGrid ? blipperGridSetUp : shifterGridSetUp) = true;
    {
        const bool blipper = grid == blipperGrid;
        if (!grid->GetTable()) {
            grid->CreateGrid(kMapGridRows, kMapGridCols, wxGrid::wxGridSelectCells);
        } else {
            // A layout that already gave the grid cells: bring it to 15 x 5.
            if (grid->GetNumberRows() < kMapGridRows)
                grid->AppendRows(kMapGridRows - grid->GetNumberRows());
            if (grid->GetNumberCols() < kMapGridCols)
                grid->AppendCols(kMapGridCols - grid->GetNumberCols());
            grid->SetSelectionMode(wxGrid::wxGridSelectCells);
        }
        grid->EnableEditing(true);
        grid->EnableGridLines(true);
        grid->EnableDragGridSize(false);
        grid->EnableDragColSize(false);
        grid->EnableDragRowSize(false);
        for (int row = 0; row < kMapGridRows; ++row)
            grid->SetRowLabelValue(row, wxNumberFormatter::ToString(
                                            MapGridRowRpm(row), wxNumberFormatter::Style_WithThousandsSep));
        for (int col = 0; col < kMapGridCols; ++col) {
            grid->SetColLabelValue(col, wxString::Format("%d", col + (blipper ? 2 : 1)));
            grid->SetColFormatNumber(col);
            for (int row = 0; row < kMapGridRows; ++row)
                grid->SetCellValue(
                    row, col,
                    wxString::Format("%d", blipper ? kDefaultBlipTime : kDefaultShifterCutTimes[col]));
        }
        grid->SetRowLabelSize(wxGRID_AUTOSIZE);
        grid->SetColLabelSize(wxGRID_AUTOSIZE);
        std::unique_ptr<MapGridHeat>& heat = blipper ? blipperHeat : shifterHeat;
        if (!heat) {
            heat =
                std::make_unique<MapGridHeat>(*grid, blipper ? MapGridKind::Blipper : MapGridKind::Shifter);
            heat->ShowOperatingPoint(operatingRpm, operatingGear);
        }

        // The grid copies on Ctrl+C by itself, with a text of its own, before
        // the menu sees the key: in the map grids the key is the Copy command's.
        wxWindow* owner = &window;
        grid->Bind(wxEVT_KEY_DOWN, [owner](wxKeyEvent& event) {
            if (event.GetModifiers() != wxMOD_CONTROL || event.GetKeyCode() != 'C') {
                event.Skip();
                return;
            }
            wxCommandEvent copy(wxEVT_MENU, XRCID("idCopy"));
            copy.SetEventObject(owner);
            owner->ProcessWindowEvent(copy);
        });
        if (gridSetUpHook)
            gridSetUpHook(*grid, blipper ? MapGridKind::Blipper : MapGridKind::Shifter);
    }
}

void EditorsView::OnMapGridSetUp(std::function<void(wxGrid&, MapGridKind)> hook)
{
    gridSetUpHook = std::move(hook);
    if (blipperGrid && blipperHeat)
        gridSetUpHook(*blipperGrid, MapGridKind::Blipper);
    if (shifterGrid && shifterHeat)
        gridSetUpHook(*shifterGrid, MapGridKind::Shifter);
}

void EditorsView::ShowOperatingPoint(const LiveValues& values)
{
    operatingRpm = values.rpm;
    operatingGear = values.gear;
    for (MapGridHeat* heat : {blipperHeat.get(), shifterHeat.get()})
        if (heat)
            heat->ShowOperatingPoint(values.rpm, values.gear);
}

void EditorsView::AddGearPanels()
{
    if (!gearDetection || voltagePanel)
        return;  // made with the gear page
    // The calibration panels go below the gear-detection choice on its page.
    wxWindow* gearPage = gearDetection->GetParent();
    voltagePanel = new GearVoltagePanel(gearPage);
    rpmSpeedPanel = new GearRpmSpeedPanel(gearPage);
    wxSizer* gearSizer = gearDetection->GetContainingSizer();
    if (!gearSizer)
        gearSizer = gearPage->GetSizer();
    if (gearSizer) {
        gearSizer->Add(voltagePanel, 0, wxEXPAND | wxALL, 5);
        gearSizer->Add(rpmSpeedPanel, 0, wxEXPAND | wxALL, 5);
    }
    rpmSpeedPanel->Hide();
    for (size_t i = 0; i < kGearVoltageControls.size(); ++i)
        controls[static_cast<size_t>(kGearVoltageControls[i])] = voltagePanel->spins[i];
    for (size_t i = 0; i < kGearRatioControls.size(); ++i)
        controls[static_cast<size_t>(kGearRatioControls[i])] = rpmSpeedPanel->spins[i];
    for (wxSpinCtrl* spin : voltagePanel->spins)
        if (spin)
            Listen(spin, wxEVT_SPINCTRL, &EditorsView::OnValidatingSpinChanged);
    for (wxSpinCtrl* spin : rpmSpeedPanel->spins)
        if (spin)
            Listen(spin, wxEVT_SPINCTRL, &EditorsView::OnValidatingSpinChanged);
    for (wxButton* button : voltagePanel->buttons)
        if (button)
            Listen(button, wxEVT_BUTTON, &EditorsView::OnGearVoltageButton);
    for (wxButton* button : rpmSpeedPanel->buttons)
        if (button)
            Listen(button, wxEVT_BUTTON, &EditorsView::OnGearRpmSpeedButton);
}

void EditorsView::SetSpinSteps()
{
    for (const ControlBinding& binding : kEditorBindings)
        if (binding.kind == ControlKind::SteppedSpin)
            if (auto* stepped = dynamic_cast<SpinCtrlStep*>(SpinOf(binding.control)))
                stepped->SetStep(binding.step);
}

namespace {

int ReadControl(const ControlBinding& binding, wxWindow* control)
{
    switch (binding.kind) {
        case ControlKind::Choice:
            return static_cast<wxChoice*>(control)->GetSelection();
        case ControlKind::RadioBox:
            return static_cast<wxRadioBox*>(control)->GetSelection();
        case ControlKind::Spin:
        case ControlKind::SteppedSpin:
            break;
    }
    return static_cast<wxSpinCtrl*>(control)->GetValue();
}

}  // namespace

int EditorsView::ValueOf(EditorControl control)
{
    if (wxWindow* window = controls[static_cast<size_t>(control)])
        return ReadControl(BindingOf(control), window);
    return model.Value(control);
}

// Controls of pages not built yet keep the values the model holds.
void EditorsView::ReadControls()
{
    for (const ControlBinding& binding : kEditorBindings)
        if (wxWindow* control = controls[static_cast<size_t>(binding.control)])
            model.SetValue(binding.control, ReadControl(binding, control));
    for (wxGrid* grid : {blipperGrid, shifterGrid}) {
        if (!grid)
            continue;
        MapGridValues& cells = model.Grid(KindOf(grid, blipperGrid));
        for (int row = 0; row < std::min(grid->GetNumberRows(), kMapGridRows); ++row)
            for (int col = 0; col < std::min(grid->GetNumberCols(), kMapGridCols); ++col)
                cells[row][col] = LeadingInteger(Utf8(grid->GetCellValue(row, col)));
    }
}

DeviceConfiguration EditorsView::CollectConfiguration()
{
    ReadControls();
    return model.Collect();
}

void EditorsView::ShowConfiguration(const DeviceConfiguration& config)
{
    ReadControls();
    // Throws before anything changes, so that a record that cannot be shown
    // leaves the editors as they were.
    model.Show(config);
    ShowShownRecord(config);
}

void EditorsView::ShowShownRecord(const DeviceConfiguration& config)
{
    ShowModel(nullptr);
    for (wxGrid* grid : {blipperGrid, shifterGrid})
        if (grid)
            ShowModelMap(grid, &config);
    ShowThresholdText();
}

void EditorsView::ShowModel(const std::array<bool, kEditorControlCount>* shown)
{
    for (const ControlBinding& binding : kEditorBindings) {
        const size_t at = static_cast<size_t>(binding.control);
        const int value = model.Value(binding.control);
        wxWindow* control = controls[at];
        if (!control || (shown && !(*shown)[at]))
            continue;
        switch (binding.kind) {
            case ControlKind::Choice:
                SetChoice(static_cast<wxChoice*>(control), value);
                break;
            case ControlKind::RadioBox:
                if (value >= 0 && value < static_cast<int>(gearDetection->GetCount()))
                    gearDetection->SetSelection(value);
                break;
            case ControlKind::Spin:
            case ControlKind::SteppedSpin:
                // The pause's range follows the active time the spin beside it holds.
                if (binding.mapping == Mapping::WarmUpPause)
                    FitWarmUpPause();
                SetSpin(static_cast<wxSpinCtrl*>(control), value);
                break;
        }
    }
}

EditorState EditorsView::CurrentState()
{
    ReadControls();
    return model.State();
}

void EditorsView::ShowState(const EditorState& state)
{
    model.SetState(state);
    ShowModel(nullptr);
    for (wxGrid* grid : {blipperGrid, shifterGrid})
        if (grid)
            ShowModelMap(grid, nullptr);
    ShowThresholdText();
}

// With a record, only the columns it shows; without, all of them.
void EditorsView::ShowModelMap(wxGrid* grid, const DeviceConfiguration* record)
{
    const MapGridValues& cells = model.Grid(KindOf(grid, blipperGrid));
    grid->BeginBatch();
    for (int col = 0; col < std::min(grid->GetNumberCols(), kMapGridCols); ++col) {
        if (record && !ShowsMapRow(grid == blipperGrid ? record->BlipperMap : record->ShifterMap, col))
            continue;
        for (int row = 0; row < std::min(grid->GetNumberRows(), kMapGridRows); ++row)
            grid->SetCellValue(row, col, wxString::Format("%d", cells[row][col]));
    }
    grid->EndBatch();
}

void EditorsView::PageBuilt()
{
    const std::array<wxWindow*, kEditorControlCount> before = controls;
    FindControls(nullptr);
    if (mapGridsSetUp)
        for (wxGrid* grid : {blipperGrid, shifterGrid})
            if (grid && !(grid == blipperGrid ? blipperGridSetUp : shifterGridSetUp)) {
                SetUpMapGrid(grid);
                ShowModelMap(grid, nullptr);
            }
    AddGearPanels();
    SetSpinSteps();
    std::array<bool, kEditorControlCount> fresh{};
    for (size_t i = 0; i < fresh.size(); ++i)
        fresh[i] = controls[i] && controls[i] != before[i];
    ShowModel(&fresh);
    ShowThresholdText();
}

void EditorsView::EndCellEditing()
{
    for (wxGrid* grid : {blipperGrid, shifterGrid})
        if (grid && grid->IsCellEditControlEnabled())
            grid->DisableCellEditControl();
}

std::optional<EditorControl> EditorsView::ControlOf(const wxWindow* window) const
{
    if (!window)
        return std::nullopt;
    const auto found = std::find(controls.begin(), controls.end(), window);
    if (found == controls.end())
        return std::nullopt;
    return static_cast<EditorControl>(found - controls.begin());
}

std::optional<MapGridKind> EditorsView::GridKindOf(const wxWindow* window) const
{
    if (window && window == blipperGrid)
        return MapGridKind::Blipper;
    if (window && window == shifterGrid)
        return MapGridKind::Shifter;
    return std::nullopt;
}

void EditorsView::FocusFirstInvalid()
{
    if (firstInvalid >= 0 && !controls[static_cast<size_t>(firstInvalid)]) {
        const wxString name = BindingOf(static_cast<EditorControl>(firstInvalid)).name;
        // The calibration spins are on the page of the gear-detection choice;
        // building the page validates again, with the page's controls.
        pages.BuildPageHolding(
            name.StartsWith("GEAR_") ? wxString(BindingOf(EditorControl::GearDetection).name) : name);
    }
    if (!invalid.empty() && invalid.front())
        invalid.front()->SetFocus();
}

bool EditorsView::Validate()
{
    ReadControls();
    const EditorValidity validity = model.Validate();
    firstInvalid = validity.listed.empty() ? -1 : static_cast<int>(validity.listed.front());
    for (EditorControl control : ValidatedControls()) {
        const bool marked =
            std::find(validity.marked.begin(), validity.marked.end(), control) != validity.marked.end();
        wxSpinCtrl* spin = SpinOf(control);
        if (!spin)
            continue;
        spin->SetBackgroundColour(marked ? *wxRED : wxSpinCtrl::GetClassDefaultAttributes().colBg);
        spin->Refresh();
    }
    invalid.clear();
    for (EditorControl control : validity.listed)
        invalid.push_back(controls[static_cast<size_t>(control)]);
    return invalid.empty();
}

void EditorsView::RefreshControls(bool blipperPerGear, bool shifterPerGear, bool gearDetectionChoice)
{
    blipperGearColumns = blipperPerGear;
    shifterGearColumns = shifterPerGear;
    gearDetectionChosen = gearDetectionChoice;
    RefreshControls();
}

void EditorsView::RefreshControls()
{
    const bool blipperPerGear = blipperGearColumns;
    const bool shifterPerGear = shifterGearColumns;
    const bool gearDetectionChoice = gearDetectionChosen;
    for (size_t i = 0; i < kInputFunctionControls.size(); ++i) {
        const bool hasFunction = ValueOf(kInputFunctionControls[i]) > 0;
        if (wxChoice* polarity = ChoiceOf(PolarityOf(kInputFunctionControls[i])))
            polarity->Enable(hasFunction);
        if (polarityLabels[i])
            polarityLabels[i]->Enable(hasFunction);
    }

    auto showGearColumns = [](wxGrid* grid, bool perGear, const wxString& firstLabel,
                              const wxString& allLabel) {
        grid->BeginBatch();
        grid->SetColLabelValue(0, perGear ? firstLabel : allLabel);
        // Per-gear columns all get the width of the first one, so that the
        // cells of one map line up; fitting each to its one-digit label would
        // leave them too narrow to edit.
        for (int column = 1; column < grid->GetNumberCols(); ++column)
            grid->SetColSize(column, perGear ? grid->GetColSize(0) : 0);
        grid->EndBatch();
    };
    if (blipperGrid)
        showGearColumns(blipperGrid, blipperPerGear, "2", _("All"));
    if (shifterGrid)
        showGearColumns(shifterGrid, shifterPerGear, "1", _("t[ms]"));

    if (!gearDetection) {
        if (!gearDetectionChoice)
            model.SetValue(EditorControl::GearDetection, 0);
        return;
    }
    if (gearDetectionChoice) {
        gearDetection->Enable();
    } else {
        gearDetection->SetSelection(0);
        gearDetection->Disable();
    }
    ShowGearPanels(gearDetection->GetSelection());
}

void EditorsView::ShowThresholdText()
{
    if (!thresholdText || !SpinOf(EditorControl::ThresholdPercent))
        return;
    thresholdText->ChangeValue(wxString::Format("%d", SpinOf(EditorControl::ThresholdPercent)->GetValue()));
}

void EditorsView::FitWarmUpPause()
{
    wxSpinCtrl* pause = SpinOf(EditorControl::WarmUpPause);
    if (!pause || !SpinOf(EditorControl::WarmUpActive))
        return;
    const auto [lowest, highest] = WarmUpPauseRange(SpinOf(EditorControl::WarmUpActive)->GetValue());
    const int value = std::clamp(pause->GetValue(), lowest, highest);
    pause->SetRange(lowest, highest);
    SetSpin(pause, value);
}

void EditorsView::ShowGearPanels(int selection)
{
    if (!voltagePanel)
        return;
    voltagePanel->Show(selection == 0);
    rpmSpeedPanel->Show(selection == 1);
    voltagePanel->GetParent()->Layout();
}

void EditorsView::OnInputFeatureChanged(wxCommandEvent& event)
{
    ReadControls();
    const std::optional<EditorControl> input = ControlOf(dynamic_cast<wxWindow*>(event.GetEventObject()));
    const auto changed = input
                             ? std::find(kInputFunctionControls.begin(), kInputFunctionControls.end(), *input)
                             : kInputFunctionControls.end();
    if (changed != kInputFunctionControls.end()) {
        model.SetValue(*changed, event.GetSelection());
        const int other = InputGivingUpFunction(model.Controls(),
                                                static_cast<int>(changed - kInputFunctionControls.begin()));
        if (other >= 0)
            ChoiceOf(kInputFunctionControls[other])->SetSelection(0);  // on the page of the changed one
    }
    RefreshControls();
}

void EditorsView::OnOutputFeatureChanged(wxCommandEvent& event)
{
    wxChoice* output1 = ChoiceOf(EditorControl::Output1);
    wxChoice* output2 = ChoiceOf(EditorControl::Output2);
    wxChoice* changed = event.GetId() == output1->GetId() ? output1 : output2;
    wxChoice* other = changed == output1 ? output2 : output1;
    if (other->GetSelection() == changed->GetSelection())
        other->SetSelection(0);
    RefreshControls();
}

void EditorsView::OnGearDetectionChanged(wxCommandEvent& /*event*/)
{
    ShowGearPanels(gearDetection->GetSelection());
    // Only the chosen method's values must differ: marks of the other one go.
    Validate();
}

void EditorsView::OnValidatingSpinChanged(wxSpinEvent& event)
{
    Validate();
    event.Skip();
}

void EditorsView::OnWarmUpActiveTimeChanged(wxSpinEvent& event)
{
    FitWarmUpPause();
    event.Skip();
}

void EditorsView::OnThresholdSpinChanged(wxSpinEvent& event)
{
    thresholdText->ChangeValue(wxString::Format("%d", event.GetPosition()));
    event.Skip();
}

void EditorsView::OnTakeTpsMin(wxCommandEvent& /*event*/)
{
    TakeLiveTps(EditorControl::TpsMin);
}

void EditorsView::OnTakeTpsMax(wxCommandEvent& /*event*/)
{
    TakeLiveTps(EditorControl::TpsMax);
}

void EditorsView::TakeLiveTps(EditorControl limit)
{
    LiveValues values;
    if (!connection.Get()->IsOpen() || !ReadLiveOnce(connection.Get(), values))
        return;
    SetSpin(SpinOf(limit), static_cast<int>(values.tpsVoltage));
    Validate();
}

// A value equal to another gear's turns red at once.
void EditorsView::OnGearVoltageButton(wxCommandEvent& event)
{
    if (TakeLiveGearValue(connection.Get(), voltagePanel->buttons, voltagePanel->spins, event.GetId(),
                          &LiveValues::gearVoltage))
        Validate();
    event.Skip();  // the undo takes the change as a step
}

void EditorsView::OnGearRpmSpeedButton(wxCommandEvent& event)
{
    if (TakeLiveGearValue(connection.Get(), rpmSpeedPanel->buttons, rpmSpeedPanel->spins, event.GetId(),
                          &LiveValues::rpmSpeedRatio))
        Validate();
    event.Skip();  // the undo takes the change as a step
}

void EditorsView::OnMapCellChanging(wxGridEvent& event)
{
    // The grid being typed in: the other map's page may not be built yet.
    const std::optional<MapGridKind> kind = GridKindOf(dynamic_cast<wxWindow*>(event.GetEventObject()));
    if (!kind) {
        event.Skip();
        return;
    }
    if (!CellTextAllowed(Utf8(event.GetString()), *kind))
        event.Veto();
}

void EditorsView::OnCopy(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    if (spin) {
        WriteClipboardText(wxString::Format("%i", spin->GetValue()));
        return;
    }
    if (!grid)
        return;
    GridSelection selection(grid->GetNumberRows());
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int col = 0; col < grid->GetNumberCols(); ++col)
            selection[row].push_back(grid->IsInSelection(row, col)
                                         ? std::optional<std::string>(Utf8(grid->GetCellValue(row, col)))
                                         : std::nullopt);
    WriteClipboardText(wxString::FromUTF8(CopyText(selection)));
}

void EditorsView::OnPaste(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    wxString text;
    if (spin) {
        long value = 0;
        if (ReadClipboardText(text) && ParseInteger(Utf8(text.Strip(wxString::both)), value) &&
            value >= INT_MIN && value <= INT_MAX) {
            SetSpin(spin, static_cast<int>(value));
            if (spin == SpinOf(EditorControl::ThresholdPercent))
                ShowThresholdText();
            if (spin == SpinOf(EditorControl::WarmUpActive))
                FitWarmUpPause();
            Validate();
        }
        return;
    }
    if (!grid || (grid != blipperGrid && grid != shifterGrid) || !grid->IsEditable() ||
        !ReadClipboardText(text))
        return;
    for (const CellWrite& write :
         PasteWrites(Utf8(text), KindOf(grid, blipperGrid), grid->GetGridCursorRow(),
                     grid->GetGridCursorCol(), grid->GetNumberRows(), grid->GetNumberCols()))
        grid->SetCellValue(write.row, write.col, wxString::Format("%ld", write.value));
}

void EditorsView::OnFillDown(wxCommandEvent& /*event*/)
{
    wxSpinCtrl* spin = nullptr;
    wxGrid* grid = FindGridOrSpin(wxWindow::FindFocus(), &spin);
    if (!grid || !grid->IsSelection() || !grid->IsEditable())
        return;
    std::vector<std::vector<bool>> selected(grid->GetNumberRows(), std::vector<bool>(grid->GetNumberCols()));
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int col = 0; col < grid->GetNumberCols(); ++col)
            selected[row][col] = grid->IsInSelection(row, col);
    for (const CellCopy& copy : FillDownCopies(selected))
        grid->SetCellValue(copy.row, copy.col, grid->GetCellValue(copy.fromRow, copy.col));
}
