// The main window: holds the one connection to a unit (or the simulated unit)
// and the editor session, the notebook with the configuration editors, the
// live monitor and the gear calibration panels, the menu bar, the toolbar and
// the status bar. It builds and wires the parts of gui/editors, gui/live,
// gui/history and gui/commands, which never see it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/event.h>
#include <wx/frame.h>
#include <wx/string.h>

#include "config/DeviceConfiguration.h"
#include "device/LiveData.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/MainWindowEvents.h"
#include "session/Connection.h"
#include "session/EditorSession.h"
#include "session/LivePoll.h"

class wxButton;
class wxCheckBox;
class wxChoice;
class wxGrid;
class wxGridEvent;
class wxMenuItem;
class wxNotebook;
class wxPanel;
class wxRadioBox;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;
class wxToolBar;
class MyStatusBar;
class EditorContent;
class EditorsView;
class EditorUndo;
class MapToolCommands;
class MapVisitsView;
class DeviceCommands;
class FirmwareCommands;
class FwUpdateDialog;
class HistoryCommands;
class LanguageMenu;
class LivePollTimer;
class LiveView;
class LiveWatch;
class NotebookPages;
class LiveChart;
class LiveLogging;
class LogReplay;
class VantrelBase;

class VTX_GUIFrame : public wxFrame {
public:
    explicit VTX_GUIFrame(wxWindow* parent, wxWindowID id = wxID_ANY);
    ~VTX_GUIFrame() override;

    // Device state -> enabling of commands, LED, grid columns, gear panels.
    void RefreshControls();
    // 16x16 or 32x32 (device-independent); same size as now: nothing happens.
    void RebuildToolBar(const wxSize& size);

    // Editors <-> record (EditorsView). Both throw std::runtime_error
    // for a pulses value the RPM pulses choice cannot hold; callers catch it.
    DeviceConfiguration CollectConfiguration();
    void ShowConfiguration(const DeviceConfiguration& config);
    // Marks duplicate gear values and equal TPS limits red; true when none.
    bool ValidateControls();

    // Puts a record into the editors as one undoable step named `stepName`
    // (the Edit menu shows "Undo <stepName>"); where the content came from
    // stays as it was. False, after the message, for a record the editors
    // cannot show.
    bool ReplaceEditorsContent(const DeviceConfiguration& record, const wxString& stepName);
    // The editors hold edits never written to a unit or saved to a file (nor
    // matching what the last read, open or New gave them).
    bool HasUnsavedEdits();
    // Undo and redo of the editors.
    EditorUndo& GetEditorUndo() { return *undo; }
    // The editor model, its origin and the automatic history.
    EditorSession& GetSession() { return session; }
    EditorContent& GetEditorContent() { return *content; }
    Connection& GetConnection() { return connection; }

    void AutoConnect();
    void HandleDeviceError(int32_t status);

    // The live view and the maps' operating point. Zeroed records blank them.
    void ShowLiveValues(const LiveValues& values);
    void ShowLiveRaw(const LiveRaw& raw);

    // Watching the engine: the live chart, data logging
    // and log replay on the live page. The chart is null without the page.
    LiveChart* GetLiveChart() const;
    LiveLogging& GetLogging() const;
    LogReplay& GetReplay() const;

    // Firmware offer after a connect: true when the user accepted (the
    // caller then posts EVT_FIRMWARE_UPDATE).
    bool OfferFirmwareUpdate();

    // False when the layout lacked an object the window needs (they are
    // logged); such a window is only fit to be closed.
    bool IsLayoutComplete() const { return missingControls.empty(); }
    // The About box text, line by line.
    static wxString AboutText();

    // For the test suites and the firmware pieces.
    VantrelBase* GetDevice() const { return connection.Get(); }
    FwUpdateDialog* GetFwUpdateDialog() const;
    // A control on a page not built yet is null here (FocusFirstInvalidControl
    // builds its page).
    const std::vector<wxWindow*>& GetInvalidControls() const;
    void FocusFirstInvalidControl();
    // The notebook pages, built when first shown.
    NotebookPages& GetPages() { return *pages; }
    bool IsLiveTimerRunning() const;
    int32_t GetDeviceErrorCount() { return poll.Errors().Count(); }

    // How the firmware update lets events run and waits; the defaults
    // unless a test or a benchmark counts them.
    void SetUpdatePacing(UpdatePacing pacing) { updatePacing = std::move(pacing); }

    // The folder the Open and Save dialogs start in; empty (the default) lets
    // them start in the working folder. Set when start-up had to move the
    // working folder to where the archives are.
    static void SetFileDialogFolder(const wxString& folder);

private:
    // --- VTX_GUIMain.cpp
    void LookUpControls();
    // The parts that work on the unit, the editors and the history.
    void MakeCommands();
    void BindHandlers();
    void RestoreSettings();
    void SaveSettings();
    void OnTabletMode(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnQuit(wxCommandEvent& event);
    void OnFftLabelDoubleClick(wxMouseEvent& event);
    void BindFftRevealLabel();
    void UseEditorsInLiveView();
    // A notebook page was built: its controls are looked up and shown.
    void OnPageBuilt();

    // Logging and replay at once; the chart with the live page.
    void SetUpLiveWatch(wxWindow* livePage);

    // Names of layout objects that were not found.
    std::vector<wxString> missingControls;
    std::unique_ptr<NotebookPages> pages;

    // The connection; it can be replaced, never emptied.
    Connection connection;
    // The live report's reads, delivered to the live view, maps, chart and
    // log; and the count of the unit's failures.
    LivePoll poll{connection};
    // The poll's and the warm-up keep-alive's timers; made first thing.
    std::unique_ptr<LivePollTimer> liveTimers;
    // The editor model, its origin and the automatic history.
    EditorSession session{connection};
    // Made with the editors.
    std::unique_ptr<LanguageMenu> languageMenu;
    std::unique_ptr<DeviceCommands> commands;
    std::unique_ptr<FirmwareCommands> firmware;
    std::unique_ptr<HistoryCommands> history;
    UpdatePacing updatePacing;
    wxToolBar* toolBar = nullptr;
    MyStatusBar* statusBar = nullptr;
    int32_t doubleClickCount = 0;  // on ID_STATICTEXT31

    // The live monitor; made first thing, so never null.
    std::unique_ptr<LiveView> liveView;
    wxPanel* fftPage = nullptr;  // ID_PNL_FFT
    // The chart, logging and replay of the live page.
    std::unique_ptr<LiveWatch> watch;

    // The configuration editors; made with the look-ups.
    std::unique_ptr<EditorsView> editors;
    // Their undo steps; made with the editors.
    std::unique_ptr<EditorUndo> undo;
    // Replacing and taking their content; made with the editors.
    std::unique_ptr<EditorContent> content;
    // The map tools of the Edit menu and the map grids; made with the editors.
    std::unique_ptr<MapToolCommands> mapTools;
    // The shifts counted in each map cell, and their switches.
    std::unique_ptr<MapVisitsView> visits;

    // Pages and labels.
    wxNotebook* notebook = nullptr;    // ID_NOTEBOOK1
    std::array<wxPanel*, 8> panels{};  // index = number of ID_PANEL1 ... ID_PANEL7
    // ID_STATICTEXT31, beside the blipper input LED: ten double clicks reveal
    // the FFT page.
    wxStaticText* fftRevealLabel = nullptr;

    // Menu items by XRC name.
    wxMenuItem* menuNew = nullptr;
    wxMenuItem* menuOpen = nullptr;
    wxMenuItem* menuSaveAs = nullptr;
    wxMenuItem* menuRead = nullptr;
    wxMenuItem* menuWrite = nullptr;
    wxMenuItem* menuLock = nullptr;
    wxMenuItem* menuFirmwareUpdate = nullptr;
    wxMenuItem* menuConnect = nullptr;
    wxMenuItem* menuTabletMode = nullptr;
    wxMenuItem* menuConfirmWriting = nullptr;
    wxMenuItem* menuUndo = nullptr;
    wxMenuItem* menuRedo = nullptr;
};
