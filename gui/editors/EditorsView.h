// The configuration editors of the main window: their controls by meaning,
// the two map grids and the gear calibration panels. The record arithmetic is
// the editor model's (editor/); this class moves values between the controls
// and the model, paints the validation marks and handles the editors' events.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <wx/event.h>
#include <wx/string.h>

#include "config/DeviceConfiguration.h"
#include "device/LiveData.h"
#include "editor/EditorModel.h"

class wxButton;
class wxChoice;
class wxCommandEvent;
class wxGrid;
class wxGridEvent;
class wxRadioBox;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;
class wxWindow;
class GearRpmSpeedPanel;
class GearVoltagePanel;
class Connection;
class EditorSession;
class MapGridHeat;
class NotebookPages;

class EditorsView {
public:
    // Looks up the editors below `window` (where their events are bound too);
    // names not found are added to `missing`, but those of pages not built
    // yet (the session's model holds their values until then). Takes live
    // values from the unit of `connection`.
    EditorsView(wxWindow& window, NotebookPages& pages, Connection& connection, EditorSession& session,
                std::vector<wxString>& missing);
    ~EditorsView();
    EditorsView(const EditorsView&) = delete;
    EditorsView& operator=(const EditorsView&) = delete;

    // Binds the editors' handlers (menu commands included).
    void BindHandlers();
    // 15 x 5 map grids with their labels and starting times.
    void SetUpMapGrids();
    // Outlines the cell of the live engine speed and gear in both maps;
    // zeroed values clear it.
    void ShowOperatingPoint(const LiveValues& values);
    // Called with each map grid once it is set up (at once for those that
    // are already), e.g. to give it the map tools.
    void OnMapGridSetUp(std::function<void(wxGrid&, MapGridKind)> hook);
    // The heat look of a map grid; null before the grid is set up.
    MapGridHeat* HeatOf(MapGridKind kind) const
    {
        return (kind == MapGridKind::Blipper ? blipperHeat : shifterHeat).get();
    }
    // Whether a map grid shows one column per gear (the last refresh's).
    bool PerGearColumns(MapGridKind kind) const
    {
        return kind == MapGridKind::Blipper ? blipperGearColumns : shifterGearColumns;
    }
    // Makes the calibration panels below the gear-detection choice.
    void AddGearPanels();
    // Steps of the stepped spins.
    void SetSpinSteps();

    DeviceConfiguration CollectConfiguration();
    void ShowConfiguration(const DeviceConfiguration& config);
    // The model after it was given `config`: into the controls (map columns
    // the record leaves alone keep their cells).
    void ShowShownRecord(const DeviceConfiguration& config);
    // Paints the invalid controls red, the others plain; true when none is.
    bool Validate();
    // The invalid controls of the last validation, in order; one on a page
    // not built yet is null here.
    const std::vector<wxWindow*>& InvalidControls() const { return invalid; }
    // Gives the first invalid control the keyboard, building its page.
    void FocusFirstInvalid();
    // Polarity choices, the grids' gear columns, the gear-detection choice
    // and its panels, for a unit of these features.
    void RefreshControls(bool blipperPerGear, bool shifterPerGear, bool gearDetectionChoice);
    // The same for the features given last, after an edit.
    void RefreshControls();

    // Everything the editors hold, and putting it back (undo and redo): the
    // pause's range, the threshold text and every grid column follow.
    EditorState CurrentState();
    void ShowState(const EditorState& state);
    // A map cell being typed in takes its text (a cell edit like any other).
    void EndCellEditing();
    // The editor control or map grid a window is; nothing for other windows.
    std::optional<EditorControl> ControlOf(const wxWindow* window) const;
    std::optional<MapGridKind> GridKindOf(const wxWindow* window) const;
    // A notebook page was built: its editors get the values, steps, grids,
    // panels and enabling that the model and the last refresh hold.
    void PageBuilt();
    // The value a control holds, or would hold when its page is not built.
    int ValueOf(EditorControl control);

    // The editors' controls by meaning, for the live view.
    wxSpinCtrl* SpinOf(EditorControl control) const;
    wxTextCtrl* ThresholdText() const { return thresholdText; }
    wxRadioBox* GearDetection() const { return gearDetection; }

private:
    // Finds the controls there are; `missing` (when given) gets the names
    // that are neither there nor on a page to be built.
    void FindControls(std::vector<wxString>* missing);
    void SetUpMapGrid(wxGrid* grid);
    // The model's values into the controls in `shown` (all when null).
    void ShowModel(const std::array<bool, kEditorControlCount>* shown);
    void ShowModelMap(wxGrid* grid, const DeviceConfiguration* record);
    wxChoice* ChoiceOf(EditorControl control) const;
    // The controls' values into the model.
    void ReadControls();
    // Values into the controls as each control takes them.
    void ShowGearPanels(int selection);
    void FitWarmUpPause();
    void ShowThresholdText();

    void OnInputFeatureChanged(wxCommandEvent& event);
    void OnOutputFeatureChanged(wxCommandEvent& event);
    void OnGearDetectionChanged(wxCommandEvent& event);
    void OnValidatingSpinChanged(wxSpinEvent& event);  // calibration and TPS limits
    void OnThresholdSpinChanged(wxSpinEvent& event);
    void OnWarmUpActiveTimeChanged(wxSpinEvent& event);  // the pause follows
    void OnTakeTpsMin(wxCommandEvent& event);            // ID_BUTTON11
    void OnTakeTpsMax(wxCommandEvent& event);            // ID_BUTTON10
    void TakeLiveTps(EditorControl limit);               // the live throttle voltage into a limit
    void OnGearVoltageButton(wxCommandEvent& event);
    void OnGearRpmSpeedButton(wxCommandEvent& event);
    void OnMapCellChanging(wxGridEvent& event);
    void OnCopy(wxCommandEvent& event);
    void OnPaste(wxCommandEvent& event);
    void OnFillDown(wxCommandEvent& event);

    // Binds and remembers how to unbind, so that no event reaches a
    // destroyed view.
    template <class Event, class Target>
    void Listen(Target* target, const wxEventTypeTag<Event>& type, void (EditorsView::*handler)(Event&),
                int id = wxID_ANY);

    wxWindow& window;
    NotebookPages& pages;
    Connection& connection;
    EditorSession& session;
    EditorModel& model;
    std::vector<std::function<void()>> unbinders;
    std::function<void(wxGrid&, MapGridKind)> gridSetUpHook;

    // By EditorControl; the calibration spins are the panels'.
    std::array<wxWindow*, kEditorControlCount> controls{};
    wxTextCtrl* thresholdText = nullptr;  // ID_TEXTCTRL12
    wxRadioBox* gearDetection = nullptr;  // ID_RBOX_GEAR_DETECTION
    wxGrid* blipperGrid = nullptr;        // ID_GRID2
    wxGrid* shifterGrid = nullptr;        // ID_GRID3
    // Heat colours, legend and operating point of each map grid, made with it.
    std::unique_ptr<MapGridHeat> blipperHeat;
    std::unique_ptr<MapGridHeat> shifterHeat;
    GearVoltagePanel* voltagePanel = nullptr;
    GearRpmSpeedPanel* rpmSpeedPanel = nullptr;
    // The labels of the six polarity choices, in input order.
    std::array<wxStaticText*, 6> polarityLabels{};
    // Whether the map grids have been set up (SetUpMapGrids, or their page
    // was built later).
    bool mapGridsSetUp = false;
    bool blipperGridSetUp = false;
    bool shifterGridSetUp = false;
    // The first control the last validation listed, -1 for none.
    int firstInvalid = -1;
    std::vector<wxWindow*> invalid;
    // The unit's features of the last refresh.
    bool blipperGearColumns = false;
    bool shifterGearColumns = false;
    bool gearDetectionChosen = false;
    // The last operating point shown, for a map grid whose page comes later.
    uint32_t operatingRpm = 0;
    uint32_t operatingGear = 0;
};
