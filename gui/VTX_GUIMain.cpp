#include "gui/VTX_GUIMain.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/grid.h>
#include <wx/iconbndl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "config/AppVersion.h"
#include "device/Features.h"
#include "gui/LanguageMenu.h"
#include "gui/NotebookPages.h"
#include "gui/VantrelBase.h"
#include "gui/commands/DeviceCommands.h"
#include "gui/commands/FirmwareCommands.h"
#include "gui/editors/EditorContent.h"
#include "gui/editors/EditorUndo.h"
#include "gui/editors/EditorsView.h"
#include "gui/editors/MapCurvesPanel.h"
#include "gui/editors/MapGridHeat.h"
#include "gui/editors/MapToolCommands.h"
#include "gui/editors/MapVisitsView.h"
#include "gui/history/HistoryCommands.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LivePollTimer.h"
#include "gui/live/LiveView.h"
#include "gui/live/LiveWatch.h"
#include "gui/live/LogReplay.h"
#include "gui/widgets/ArtProvider.h"
#include "gui/widgets/ErrorBox.h"
#include "gui/widgets/MyStatusBar.h"
#include "session/CommandEnabling.h"
#include "session/UserSettings.h"
#include "usb/UsbDeviceList.h"

namespace {

const wxSize kNormalToolSize(16, 16);
const wxSize kTabletToolSize(32, 32);

// Visits a window and all windows inside it.
template <class Visit>
void ForEachWindowIn(wxWindow* window, const Visit& visit)
{
    visit(window);
    for (wxWindow* child : window->GetChildren())
        ForEachWindowIn(child, visit);
}

}  // namespace

VTX_GUIFrame::VTX_GUIFrame(wxWindow* parent, wxWindowID /*id*/)
{
    liveTimers = std::make_unique<LivePollTimer>(
        LivePollTimer::Wiring{poll, [this] { return watch && watch->Replay().Active(); },
                              [this] {
                                  commands->GiveUpTheUnit();
                                  watch->Logging().Stop(kLogDisconnectedLine);
                              },
                              [this] { liveView->KeepWarmUp(); }});
    pages = std::make_unique<NotebookPages>();
    if (!pages->LoadFrame(this, parent)) {
        // Keep a usable (empty) window so that the caller can report and close it.
        Create(parent, wxID_ANY, "VantrelStudio");
        missingControls.emplace_back("VTX_GUIFrame");
        liveView = std::make_unique<LiveView>([](const wxString&) { return nullptr; }, connection,
                                              liveTimers->WarmUpTimer());
        return;
    }
    LookUpControls();
    if (!missingControls.empty()) {
        return;
    }
    MakeCommands();
    BindHandlers();

    statusBar = new MyStatusBar(this, wxID_ANY, wxSTB_SIZEGRIP);
    SetStatusBar(statusBar);
    watch->Logging().ShowState();  // its field after the LED

    poll.Listen([this](const LiveValues& values, const LiveRaw& raw) {
        ShowLiveValues(values);
        ShowLiveRaw(raw);
        watch->Record(values, raw);
        if (visits)
            visits->CountLive(values, connection.Get());
    });

    // The two file dialogs are made on first use (FileDialogs): the native
    // chooser costs a tenth of a second each, which start-up need not pay.

    liveView->SetUpRawGrid();
    editors->SetUpMapGrids();

    editors->AddGearPanels();

    // There is no executable icon resource on this platform: the logo art
    // stands in for it.
    wxIconBundle icons;
    for (int size : {16, 32, 64}) {
        const wxIcon icon = wxArtProvider::GetIcon("wxART_WX_LOGO", wxART_FRAME_ICON, wxSize(size, size));
        if (icon.IsOk())
            icons.AddIcon(icon);
    }
    if (!icons.IsEmpty())
        SetIcons(icons);

    SetTitle(wxString::Format("Norvane Labs - %s v%s.%02d", wxTheApp ? wxTheApp->GetAppName() : "Vantrel",
                              kAppVersion, kAppBuild));

    editors->SetSpinSteps();
    if (GetSizer()) {
        GetSizer()->SetSizeHints(this);
    } else {
        SetSize(GetBestSize());
        SetMinSize(GetBestSize());
    }

    RestoreSettings();

    if (fftRevealLabel)
        BindFftRevealLabel();
    pages->Watch(notebook, [this] { OnPageBuilt(); });

    try {
        editors->ShowConfiguration(connection->GetDefaultConfiguration());
    } catch (const std::exception& error) {
        ShowError(error.what(), _("Error"));
    }
    RefreshControls();
    // Bound last, with the calibration panels made: its handlers see an
    // edit before those of the editors do, and let it go on to them.
    undo->BindToFrame(menuUndo, menuRedo);
    undo->Start(DefaultsSource(*connection));
}

void VTX_GUIFrame::OnPageBuilt()
{
    if (!fftRevealLabel) {
        fftRevealLabel = dynamic_cast<wxStaticText*>(FindWindow(XRCID("ID_STATICTEXT31")));
        if (fftRevealLabel)
            BindFftRevealLabel();
    }
    liveView->FindControls([this](const wxString& name) { return FindWindow(XRCID(name)); });
    liveView->SetUpRawGrid();
    SetUpLiveWatch(FindWindow(XRCID("ID_PANEL7")));
    editors->PageBuilt();
    if (undo)
        undo->WatchSpins();
    UseEditorsInLiveView();
    RefreshControls();
    ValidateControls();
}

void VTX_GUIFrame::BindFftRevealLabel()
{
    // A static text has no window of its own under GTK: a click on it goes to
    // its static box, or to a neighbour of the label, misplaced by the height
    // of the box's caption. So every window of the box listens, and the
    // handler asks the pointer whether the label was hit.
    wxWindow* labelArea = fftRevealLabel->GetParent();
    if (labelArea == nullptr)
        return;
    for (wxWindow* window = labelArea; window && window != this; window = window->GetParent()) {
        if (dynamic_cast<wxStaticBox*>(window)) {
            labelArea = window;
            break;
        }
    }
    ForEachWindowIn(labelArea, [this](wxWindow* window) {
        window->Bind(wxEVT_LEFT_DCLICK, &VTX_GUIFrame::OnFftLabelDoubleClick, this);
    });
}

VTX_GUIFrame::~VTX_GUIFrame()
{
    liveTimers->Stop();
    if (missingControls.empty()) {
        session.KeepEditedAtQuit();
        SaveSettings();
    }
}

void VTX_GUIFrame::LookUpControls()
{
    auto find = [this](const wxString& name) -> wxWindow* {
        wxWindow* window = FindWindow(XRCID(name));
        if (!window && !pages->Awaits(name))
            missingControls.push_back(name);
        return window;
    };

    liveView = std::make_unique<LiveView>(find, connection, liveTimers->WarmUpTimer());
    fftPage = dynamic_cast<wxPanel*>(find("ID_PNL_FFT"));
    SetUpLiveWatch(FindWindow(XRCID("ID_PANEL7")));

    editors = std::make_unique<EditorsView>(*this, *pages, connection, session, missingControls);
    undo = std::make_unique<EditorUndo>(*this, *editors, session);
    content = std::make_unique<EditorContent>(session, *editors, *undo, [this] { RefreshControls(); });
    mapTools = std::make_unique<MapToolCommands>(
        MapToolCommands::Wiring{*this, [this](const wxString& step) { undo->TakeEdit(step); },
                                [this](const wxString& text) { SetStatusText(text, 0); }});
    visits = std::make_unique<MapVisitsView>(
        MapVisitsView::Wiring{[this](MapGridKind kind) { return editors->HeatOf(kind); },
                              [this](MapGridKind kind) { return editors->PerGearColumns(kind); }});
    editors->OnMapGridSetUp([this](wxGrid& grid, MapGridKind kind) {
        wxSizer* line = mapTools->AttachGrid(grid, kind);
        visits->AttachGrid(grid, kind, line);
        AddMapCurves(line, MapCurvesPanel::Wiring{grid, kind,
                                                  [this, kind] {
                                                      MapGridHeat* heat = editors->HeatOf(kind);
                                                      return heat ? heat->Outlined() : std::nullopt;
                                                  },
                                                  [this, kind] {
                                                      MapGridHeat* heat = editors->HeatOf(kind);
                                                      return heat ? heat->Visits() : std::nullopt;
                                                  },
                                                  [this](const wxString& step) { undo->TakeEdit(step); }});
    });

    notebook = dynamic_cast<wxNotebook*>(find("ID_NOTEBOOK1"));
    for (int i = 1; i <= 7; ++i)
        panels[i] = dynamic_cast<wxPanel*>(find(wxString::Format("ID_PANEL%d", i)));
    // The FFT page's secret: ten double clicks on the label beside the
    // blipper input's LED.
    fftRevealLabel = dynamic_cast<wxStaticText*>(find("ID_STATICTEXT31"));

    wxMenuBar* menuBar = GetMenuBar();
    auto item = [&](const char* name) -> wxMenuItem* {
        wxMenuItem* found = menuBar ? menuBar->FindItem(XRCID(name)) : nullptr;
        if (!found)
            missingControls.emplace_back(name);
        return found;
    };
    menuNew = item("idNew");
    menuOpen = item("idOpen");
    menuSaveAs = item("idSaveAs");
    item("idMenuQuit");
    item("idCopy");
    item("idPaste");
    item("idFillDown");
    for (const MapToolCommands::ToolItem& tool : MapToolCommands::Items())
        item(tool.name);
    item("idMapToolKeys");
    menuRead = item("idReadConfiguration");
    menuWrite = item("idWriteConfiguration");
    menuLock = item("idLockConfiguration");
    menuFirmwareUpdate = item("idFirmwareUpdate");
    menuConnect = item("idConnect");
    menuTabletMode = item("idTabletMode");
    menuConfirmWriting = item("idConfirmWriting");
    menuUndo = item("wxID_UNDO");
    menuRedo = item("wxID_REDO");
    item("idMenuAbout");

    UseEditorsInLiveView();

    if (!missingControls.empty()) {
        wxString names;
        for (const wxString& name : missingControls)
            names += (names.empty() ? "" : ", ") + name;
        wxLogError(_("The main window layout lacks these objects: %s."), names);
    }
}

void VTX_GUIFrame::UseEditorsInLiveView()
{
    EditorsView* view = editors.get();
    liveView->UseEditorControls(
        {editors->SpinOf(EditorControl::TpsMin), editors->SpinOf(EditorControl::TpsMax),
         editors->SpinOf(EditorControl::ThresholdPercent), editors->ThresholdText(), editors->GearDetection(),
         [view] {
             return ThrottleCalibration{view->ValueOf(EditorControl::TpsMin),
                                        view->ValueOf(EditorControl::TpsMax)};
         },
         [view] { return view->ValueOf(EditorControl::GearDetection); }});
}

void VTX_GUIFrame::MakeCommands()
{
    auto showLive = [this](const LiveValues& values, const LiveRaw& raw) {
        ShowLiveValues(values);
        ShowLiveRaw(raw);
    };
    commands = std::make_unique<DeviceCommands>(DeviceCommands::Wiring{
        *this, connection, *content, *liveTimers, *liveView, showLive, [this] { RefreshControls(); },
        [this] { return OfferFirmwareUpdate(); }, [this] { return menuConfirmWriting->IsChecked(); }});
    firmware = std::make_unique<FirmwareCommands>(
        FirmwareCommands::Wiring{*this, connection, *liveTimers, *liveView, [this] { AutoConnect(); },
                                 [this] { RefreshControls(); }, updatePacing});
    history = std::make_unique<HistoryCommands>(*this, *content, *pages, connection);
}

void VTX_GUIFrame::BindHandlers()
{
    // Every id is bound once here, so a rebuilt toolbar never adds a second
    // binding.
    commands->BindToFrame();
    firmware->BindToFrame();
    history->BindToFrame();
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnQuit, this, XRCID("idMenuQuit"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnTabletMode, this, XRCID("idTabletMode"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnAbout, this, XRCID("idMenuAbout"));
    if (GetMenuBar())
        languageMenu = std::make_unique<LanguageMenu>(*GetMenuBar(), *this);

    editors->BindHandlers();
    mapTools->BindHandlers();

    liveView->BindHandlers(*this);
}

void VTX_GUIFrame::RestoreSettings()
{
    const UserSettings settings;
    if (const std::optional<WindowPlacement> placement = settings.ReadPlacement()) {
        const wxRect saved(placement->left, placement->top, placement->width, placement->height);
        for (unsigned int index = 0; index < wxDisplay::GetCount(); ++index) {
            if (wxDisplay(index).GetGeometry().Contains(saved)) {
                SetSize(saved);
                break;
            }
        }
    }
    Maximize(settings.Read(kMaximizedFlag));

    const bool tabletMode = settings.Read(kTabletModeFlag);
    RebuildToolBar(tabletMode ? kTabletToolSize : kNormalToolSize);
    menuTabletMode->Check(tabletMode);

    menuConfirmWriting->Check(settings.Read(kConfirmWritingFlag));

    if (!settings.Read(kShowFftFlag)) {
        const int page = notebook->FindPage(fftPage);
        if (page != wxNOT_FOUND) {
            notebook->RemovePage(page);
            fftPage->Hide();
        }
    }
}

void VTX_GUIFrame::SaveSettings()
{
    UserSettings settings;
    if (!IsMaximized()) {
        const wxPoint position = GetPosition();
        const wxSize size = GetSize();
        settings.WritePlacement({position.x, position.y, size.x, size.y});
    }
    settings.Write(kMaximizedFlag, IsMaximized());
    settings.Write(kTabletModeFlag, menuTabletMode->IsChecked());
    settings.Write(kConfirmWritingFlag, menuConfirmWriting->IsChecked());
    settings.Flush();
}

void VTX_GUIFrame::SetFileDialogFolder(const wxString& folder)
{
    DeviceCommands::SetFileDialogFolder(folder);
}

void VTX_GUIFrame::AutoConnect()
{
    if (commands)
        commands->AutoConnect();
}

void VTX_GUIFrame::HandleDeviceError(int32_t status)
{
    if (commands)
        commands->HandleDeviceError(status);
}

bool VTX_GUIFrame::OfferFirmwareUpdate()
{
    return firmware && firmware->OfferFirmwareUpdate();
}

FwUpdateDialog* VTX_GUIFrame::GetFwUpdateDialog() const
{
    return firmware ? firmware->GetFwUpdateDialog() : nullptr;
}

void VTX_GUIFrame::RebuildToolBar(const wxSize& size)
{
    const wxSize pixels = FromDIP(size);
    if (toolBar && toolBar->GetToolBitmapSize().GetWidth() == pixels.GetWidth())
        return;
    if (toolBar) {
        SetToolBar(nullptr);
        delete toolBar;
        toolBar = nullptr;
    }
    const ToolIds& ids = GetToolIds();
    toolBar =
        new wxToolBar(this, ids.toolbar, wxDefaultPosition, wxDefaultSize, wxTB_HORIZONTAL | wxNO_BORDER);
    toolBar->SetToolBitmapSize(pixels);
    auto add = [&](wxWindowID id, const wxString& label, const wxString& help, const char* art) {
        toolBar->AddTool(id, label, wxArtProvider::GetBitmap(art, wxART_TOOLBAR, pixels), wxNullBitmap,
                         wxITEM_NORMAL, help, wxEmptyString);
    };
    add(ids.newConfig, _("&New"), _("Default settings"), "wxART_NEW");
    add(ids.open, _("&Open"), _("Open file"), "wxART_FILE_OPEN");
    add(ids.saveAs, _("Save &as..."), _("Save file as..."), "wxART_FILE_SAVE_AS");
    toolBar->AddSeparator();
    add(ids.read, _("Read"), _("Read configuration"), "wxART_READ");
    add(ids.write, _("Write"), _("Write configuration"), "wxART_WRITE");
    toolBar->AddSeparator();
    add(ids.connect, _("Connect"), _("Connect to device"), "wxART_CONNECT");
    toolBar->Realize();
    SetToolBar(toolBar);
}

void VTX_GUIFrame::RefreshControls()
{
    const CommandEnabling enabling = EnablingFor(FactsOf(*connection));
    const ToolIds& tools = GetToolIds();

    menuRead->Enable(enabling.readWrite);
    menuWrite->Enable(enabling.readWrite);
    menuLock->Enable(enabling.lock);
    menuFirmwareUpdate->Enable(enabling.firmwareUpdate);
    menuNew->Enable(enabling.newAndEditors);
    if (toolBar) {
        toolBar->EnableTool(tools.read, enabling.readWrite);
        toolBar->EnableTool(tools.write, enabling.readWrite);
        toolBar->EnableTool(tools.newConfig, enabling.newAndEditors);
    }

    statusBar->SetLedState(static_cast<int>(enabling.led));
    if (enabling.led != ConnectionLed::UnitReady)
        liveView->ResetDeviceActions();
    // A replay holds the live view; otherwise nothing is known until the next poll.
    if (watch && watch->Replay().Active()) {
        watch->Replay().ShowCurrent();
    } else {
        ShowLiveValues(LiveValues{});
        ShowLiveRaw(LiveRaw{});
    }

    notebook->Enable(enabling.newAndEditors);
    liveView->EnableWarmUp(enabling.warmUp);
    editors->RefreshControls(connection->GetFeature(FEATURE_BLIPPER_GEAR_COLUMNS) == 5,
                             connection->GetFeature(FEATURE_SHIFTER_GEAR_COLUMNS) == 5,
                             connection->GetFeature(FEATURE_GEAR_DETECTION_CHOICE) == 1);
}

void VTX_GUIFrame::OnTabletMode(wxCommandEvent& /*event*/)
{
    RebuildToolBar(menuTabletMode->IsChecked() ? kTabletToolSize : kNormalToolSize);
    RefreshControls();
}

wxString VTX_GUIFrame::AboutText()
{
    return wxString::Format("%s v%s.%02d\n", wxTheApp ? wxTheApp->GetAppName() : "Vantrel", kAppVersion,
                            kAppBuild) +
           "\n" + wxGetLibraryVersionInfo().GetVersionString() + "-GTK-Unicode\n" + "libusb 1.0\n";
}

void VTX_GUIFrame::OnAbout(wxCommandEvent& /*event*/)
{
    wxMessageBox(AboutText(), _("About"), wxOK | wxCENTRE, nullptr);
}

void VTX_GUIFrame::OnQuit(wxCommandEvent& /*event*/)
{
    Close(false);
}

void VTX_GUIFrame::OnFftLabelDoubleClick(wxMouseEvent& event)
{
    event.Skip();
    // Where the pointer is, not which window got the click, tells a double
    // click on the label from one beside it.
    wxStaticText* label = fftRevealLabel;
    if (!label->IsShownOnScreen() || !label->GetScreenRect().Contains(wxGetMousePosition()))
        return;
    ++doubleClickCount;
    if (doubleClickCount == 10 && notebook->FindPage(fftPage) == wxNOT_FOUND) {
        fftPage->Show();
        notebook->AddPage(fftPage, _("FFT"), false);
    }
}

DeviceConfiguration VTX_GUIFrame::CollectConfiguration()
{
    return editors->CollectConfiguration();
}

void VTX_GUIFrame::ShowConfiguration(const DeviceConfiguration& config)
{
    editors->ShowConfiguration(config);
}

bool VTX_GUIFrame::ValidateControls()
{
    return editors->Validate();
}

const std::vector<wxWindow*>& VTX_GUIFrame::GetInvalidControls() const
{
    return editors->InvalidControls();
}

bool VTX_GUIFrame::ReplaceEditorsContent(const DeviceConfiguration& record, const wxString& stepName)
{
    // A window only fit to be closed has no editors.
    return IsLayoutComplete() && content->Replace(record, stepName, std::nullopt);
}

bool VTX_GUIFrame::HasUnsavedEdits()
{
    return IsLayoutComplete() && content->HasUnsavedEdits();
}

void VTX_GUIFrame::FocusFirstInvalidControl()
{
    editors->FocusFirstInvalid();
}

bool VTX_GUIFrame::IsLiveTimerRunning() const
{
    return liveTimers->IsRunning();
}

void VTX_GUIFrame::SetUpLiveWatch(wxWindow* livePage)
{
    if (!watch) {
        watch = std::make_unique<LiveWatch>(
            LiveWatch::Wiring{*this, connection, *liveTimers,
                              [this](const LiveValues& values, const LiveRaw& raw) {
                                  ShowLiveValues(values);
                                  ShowLiveRaw(raw);
                              },
                              [this](const wxString& line) { undo->SetNotice(line); },
                              [this] {
                                  // The limits are the editor model's also while their page is not built.
                                  ThrottleCalibration calibration;
                                  if (editors)
                                      calibration = {editors->ValueOf(EditorControl::TpsMin),
                                                     editors->ValueOf(EditorControl::TpsMax)};
                                  return calibration;
                              },
                              [this](const ReplayTimeline& timeline) {
                                  if (visits)
                                      visits->CountLog(timeline);
                              }});
    }
    watch->AddToPage(livePage);
}

LiveChart* VTX_GUIFrame::GetLiveChart() const
{
    return watch->Chart();
}

LiveLogging& VTX_GUIFrame::GetLogging() const
{
    return watch->Logging();
}

LogReplay& VTX_GUIFrame::GetReplay() const
{
    return watch->Replay();
}

void VTX_GUIFrame::ShowLiveValues(const LiveValues& values)
{
    liveView->ShowValues(values);
    if (editors)
        editors->ShowOperatingPoint(values);
}

void VTX_GUIFrame::ShowLiveRaw(const LiveRaw& raw)
{
    liveView->ShowRaw(raw);
}
