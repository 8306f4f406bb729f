#include "VTX_GUIMain.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/gauge.h>
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

#include "ArtProvider.h"
#include "DeviceCommands.h"
#include "FirmwareCommands.h"
#include "GearRpmSpeedPanel.h"
#include "GearVoltagePanel.h"
#include "MyGrid.h"
#include "MyStatusBar.h"
#include "SpinCtrlStep.h"
#include "UserSettings.h"
#include "VantrelBase.h"
#include "config/AppVersion.h"
#include "device/Features.h"
#include "usb/UsbDeviceList.h"
#include "wxStateLed.h"

wxDEFINE_EVENT(EVT_FIRMWARE_UPDATE, wxCommandEvent);
wxDEFINE_EVENT(EVT_UNSUPPORTED_DEVICE, wxCommandEvent);
wxDEFINE_EVENT(EVT_CONNECTING_FAILED, wxCommandEvent);

const ToolIds& GetToolIds()
{
    static const ToolIds ids{wxWindow::NewControlId(), wxWindow::NewControlId(), wxWindow::NewControlId(),
                             wxWindow::NewControlId(), wxWindow::NewControlId(), wxWindow::NewControlId(),
                             wxWindow::NewControlId()};
    return ids;
}

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
    : commands(std::make_unique<DeviceCommands>(*this, device)),
      firmware(std::make_unique<FirmwareCommands>(*this, device)),
      liveTimer(this),
      warmUpTimer(this)
{
    if (!wxXmlResource::Get()->LoadObject(this, parent, "VTX_GUIFrame", "wxFrame")) {
        // Keep a usable (empty) window so that the caller can report and close it.
        Create(parent, wxID_ANY, "VantrelStudio");
        missingControls.push_back("VTX_GUIFrame");
        return;
    }
    LookUpControls();
    if (!missingControls.empty()) {
        return;
    }
    BindHandlers();

    statusBar = new MyStatusBar(this, wxID_ANY, wxSTB_SIZEGRIP);
    SetStatusBar(statusBar);

    // Later starts without an interval use the one given here.
    liveTimer.Start(100);
    liveTimer.Stop();
    warmUpTimer.Start(100);
    warmUpTimer.Stop();
    Bind(wxEVT_TIMER, &VTX_GUIFrame::OnLiveTimer, this, liveTimer.GetId());
    Bind(wxEVT_TIMER, &VTX_GUIFrame::OnWarmUpTimer, this, warmUpTimer.GetId());

    // The two file dialogs are made on first use (FileDialogs): the native
    // chooser costs a tenth of a second each, which start-up need not pay.

    SetUpLiveGrid();
    SetUpMapGrids();

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
    for (wxSpinCtrl* spin : voltagePanel->spins)
        if (spin)
            spin->Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnValidatingSpinChanged, this);
    for (wxSpinCtrl* spin : rpmSpeedPanel->spins)
        if (spin)
            spin->Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnValidatingSpinChanged, this);
    for (wxButton* button : voltagePanel->buttons)
        if (button)
            button->Bind(wxEVT_BUTTON, &VTX_GUIFrame::OnGearVoltageButton, this);
    for (wxButton* button : rpmSpeedPanel->buttons)
        if (button)
            button->Bind(wxEVT_BUTTON, &VTX_GUIFrame::OnGearRpmSpeedButton, this);

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

    SetSpinSteps();
    if (GetSizer()) {
        GetSizer()->SetSizeHints(this);
    } else {
        SetSize(GetBestSize());
        SetMinSize(GetBestSize());
    }

    RestoreSettings();

    // A static text has no window of its own under GTK: a click on it goes to
    // its static box, or to a neighbour of the label, misplaced by the height
    // of the box's caption. So every window of the box listens, and the
    // handler asks the pointer whether the label was hit.
    wxWindow* labelArea = labels[31]->GetParent();
    for (wxWindow* window = labelArea; window && window != this; window = window->GetParent()) {
        if (wxDynamicCast(window, wxStaticBox)) {
            labelArea = window;
            break;
        }
    }
    ForEachWindowIn(labelArea, [this](wxWindow* window) {
        window->Bind(wxEVT_LEFT_DCLICK, &VTX_GUIFrame::OnFftLabelDoubleClick, this);
    });

    // The grid copies on Ctrl+C by itself, with a text of its own, before the
    // menu sees the key: in the map grids the key is the Copy command's.
    for (wxGrid* grid : {blipperGrid, shifterGrid}) {
        grid->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            if (event.GetModifiers() != wxMOD_CONTROL || event.GetKeyCode() != 'C') {
                event.Skip();
                return;
            }
            wxCommandEvent copy(wxEVT_MENU, XRCID("idCopy"));
            copy.SetEventObject(this);
            ProcessWindowEvent(copy);
        });
    }

    ShowConfigurationSafely(device->GetDefaultConfiguration());
    RefreshControls();
}

VTX_GUIFrame::~VTX_GUIFrame()
{
    liveTimer.Stop();
    warmUpTimer.Stop();
    if (missingControls.empty())
        SaveSettings();
    invalidControls.clear();
}

void VTX_GUIFrame::LookUpControls()
{
    auto find = [this](const wxString& name) -> wxWindow* {
        wxWindow* window = FindWindow(XRCID(name));
        if (!window)
            missingControls.push_back(name);
        return window;
    };

    for (int i = 1; i <= 4; ++i)
        gauges[i] = dynamic_cast<wxGauge*>(find(wxString::Format("ID_GAUGE%d", i)));
    for (int i = 1; i <= 12; ++i)
        textCtrls[i] = dynamic_cast<wxTextCtrl*>(find(wxString::Format("ID_TEXTCTRL%d", i)));
    gearCombo = dynamic_cast<wxComboBox*>(find("ID_COMBOBOX1"));
    rawGrid = dynamic_cast<wxGrid*>(find("ID_GRID1"));
    fftPage = dynamic_cast<wxPanel*>(find("ID_PNL_FFT"));
    static const char* const ledNames[11] = {"ID_STATELED_IN_SHIFTER",
                                             "ID_STATELED_IN_BLIPPER",
                                             "ID_STATELED_IN_WARMUP",
                                             "ID_STATELED_IN_PIT",
                                             "ID_STATELED_IN_CLUTCH",
                                             "ID_STATELED_IN_DEACTIVATION",
                                             "ID_STATELED_OUT_RPM_LED",
                                             "ID_STATELED_OUT_BLIPPER",
                                             "ID_STATELED_OUT_IGNITION",
                                             "ID_STATELED_OUT_INJECTION",
                                             "ID_STATELED10"};
    for (int i = 0; i < 11; ++i)
        stateLeds[i] = dynamic_cast<wxStateLed*>(find(ledNames[i]));
    warmUpCheck = dynamic_cast<wxCheckBox*>(find("ID_CHECKBOX1"));
    fftRadio = dynamic_cast<wxRadioBox*>(find("ID_RADIOBOX1"));
    throttleButton = dynamic_cast<wxButton*>(find("ID_BUTTON12"));

    for (int i = 1; i <= 17; ++i)
        choices[i] = dynamic_cast<wxChoice*>(find(wxString::Format("ID_CHOICE%d", i)));
    for (int i : {1, 2, 10, 11, 12, 13, 14, 15, 16, 17, 18})
        spins[i] = dynamic_cast<wxSpinCtrl*>(find(wxString::Format("ID_SPINCTRL%d", i)));
    rpmPulses = dynamic_cast<wxChoice*>(find("ID_RPM_PULSES"));
    speedPulses = dynamic_cast<wxSpinCtrl*>(find("ID_SPEED_PULSES"));
    wheelCircumference = dynamic_cast<wxSpinCtrl*>(find("ID_WHEEL_CIRCUMFERENCE"));
    gearDetection = dynamic_cast<wxRadioBox*>(find("ID_RBOX_GEAR_DETECTION"));
    // The map grids must be MyGrid (the corner names both axes).
    blipperGrid = dynamic_cast<MyGrid*>(find("ID_GRID2"));
    shifterGrid = dynamic_cast<MyGrid*>(find("ID_GRID3"));
    takeTpsMinButton = dynamic_cast<wxButton*>(find("ID_BUTTON11"));
    takeTpsMaxButton = dynamic_cast<wxButton*>(find("ID_BUTTON10"));

    notebook = dynamic_cast<wxNotebook*>(find("ID_NOTEBOOK1"));
    for (int i = 1; i <= 7; ++i)
        panels[i] = dynamic_cast<wxPanel*>(find(wxString::Format("ID_PANEL%d", i)));
    for (int i = 1; i <= 53; ++i)
        labels[i] = dynamic_cast<wxStaticText*>(find(wxString::Format("ID_STATICTEXT%d", i)));

    wxMenuBar* menuBar = GetMenuBar();
    auto item = [&](const char* name) -> wxMenuItem* {
        wxMenuItem* found = menuBar ? menuBar->FindItem(XRCID(name)) : nullptr;
        if (!found)
            missingControls.push_back(name);
        return found;
    };
    menuNew = item("idNew");
    menuOpen = item("idOpen");
    menuSaveAs = item("idSaveAs");
    item("idMenuQuit");
    item("idCopy");
    item("idPaste");
    item("idFillDown");
    menuRead = item("idReadConfiguration");
    menuWrite = item("idWriteConfiguration");
    menuLock = item("idLockConfiguration");
    menuFirmwareUpdate = item("idFirmwareUpdate");
    menuConnect = item("idConnect");
    menuTabletMode = item("idTabletMode");
    menuConfirmWriting = item("idConfirmWriting");
    item("idMenuAbout");

    if (!missingControls.empty()) {
        wxString names;
        for (const wxString& name : missingControls)
            names += (names.empty() ? "" : ", ") + name;
        wxLogError("The main window layout lacks these objects: %s.", names);
    }
}

void VTX_GUIFrame::BindHandlers()
{
    // Every id is bound once here, so a rebuilt toolbar never adds a second
    // binding.
    commands->BindToFrame();
    firmware->BindToFrame();
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnQuit, this, XRCID("idMenuQuit"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnCopy, this, XRCID("idCopy"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnPaste, this, XRCID("idPaste"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnFillDown, this, XRCID("idFillDown"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnTabletMode, this, XRCID("idTabletMode"));
    Bind(wxEVT_MENU, &VTX_GUIFrame::OnAbout, this, XRCID("idMenuAbout"));

    for (const char* name :
         {"ID_CHOICE1", "ID_CHOICE2", "ID_CHOICE3", "ID_CHOICE11", "ID_CHOICE13", "ID_CHOICE15"})
        Bind(wxEVT_CHOICE, &VTX_GUIFrame::OnInputFeatureChanged, this, XRCID(name));
    Bind(wxEVT_CHOICE, &VTX_GUIFrame::OnOutputFeatureChanged, this, XRCID("ID_CHOICE4"));
    Bind(wxEVT_CHOICE, &VTX_GUIFrame::OnOutputFeatureChanged, this, XRCID("ID_CHOICE5"));
    Bind(wxEVT_RADIOBOX, &VTX_GUIFrame::OnGearDetectionChanged, this, XRCID("ID_RBOX_GEAR_DETECTION"));
    Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnValidatingSpinChanged, this, XRCID("ID_SPINCTRL17"));
    Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnValidatingSpinChanged, this, XRCID("ID_SPINCTRL11"));
    Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnThresholdSpinChanged, this, XRCID("ID_SPINCTRL18"));
    Bind(wxEVT_SPINCTRL, &VTX_GUIFrame::OnWarmUpActiveTimeChanged, this, XRCID("ID_SPINCTRL14"));
    Bind(wxEVT_BUTTON, &VTX_GUIFrame::OnTakeTpsMin, this, XRCID("ID_BUTTON11"));
    Bind(wxEVT_BUTTON, &VTX_GUIFrame::OnTakeTpsMax, this, XRCID("ID_BUTTON10"));
    Bind(wxEVT_GRID_CELL_CHANGING, &VTX_GUIFrame::OnMapCellChanging, this, XRCID("ID_GRID2"));
    Bind(wxEVT_GRID_CELL_CHANGING, &VTX_GUIFrame::OnMapCellChanging, this, XRCID("ID_GRID3"));

    Bind(wxEVT_BUTTON, &VTX_GUIFrame::OnTakeThrottlePosition, this, XRCID("ID_BUTTON12"));
    Bind(wxEVT_CHECKBOX, &VTX_GUIFrame::OnWarmUpChecked, this, XRCID("ID_CHECKBOX1"));
    Bind(wxEVT_RADIOBOX, &VTX_GUIFrame::OnFftSettingSelected, this, XRCID("ID_RADIOBOX1"));
}

void VTX_GUIFrame::SetSpinSteps()
{
    const std::pair<int, int> steps[] = {{12, 10}, {13, 10},  {14, 100}, {15, 100},
                                         {1, 100}, {16, 100}, {17, 50},  {11, 50}};
    for (const auto& [number, step] : steps)
        if (auto* stepped = dynamic_cast<SpinCtrlStep*>(spins[number]))
            stepped->SetStep(step);
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
    commands->AutoConnect();
}

void VTX_GUIFrame::HandleDeviceError(int32_t status)
{
    commands->HandleDeviceError(status);
}

bool VTX_GUIFrame::OfferFirmwareUpdate()
{
    return firmware->OfferFirmwareUpdate();
}

FwUpdateDialog* VTX_GUIFrame::GetFwUpdateDialog() const
{
    return firmware->GetFwUpdateDialog();
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
    const bool open = device->IsOpen();
    // A bootloader connection answers every feature with -14: only a positive
    // answer counts, or a unit in its bootloader would pass for the simulated one.
    const bool simulated = device->GetFeature(FEATURE_SIMULATED) > 0;
    const bool bootloader = device->GetDeviceMode() != 0;
    const bool canLock = device->GetFeature(FEATURE_LOCK) > 0;
    const bool unitReady = open && !simulated && !bootloader;
    const ToolIds& tools = GetToolIds();

    menuRead->Enable(unitReady);
    menuWrite->Enable(unitReady);
    menuLock->Enable(canLock && unitReady);
    menuFirmwareUpdate->Enable(open && !simulated);
    // A unit in its bootloader has no defaults to show.
    menuNew->Enable(!bootloader);
    if (toolBar) {
        toolBar->EnableTool(tools.read, unitReady);
        toolBar->EnableTool(tools.write, unitReady);
        toolBar->EnableTool(tools.newConfig, !bootloader);
    }

    const int ledState = unitReady ? 2 : (open && !simulated && bootloader ? 1 : 0);
    statusBar->SetLedState(ledState);
    if (ledState != 2) {
        fftRadio->SetSelection(0);
        warmUpCheck->SetValue(false);
    }
    ShowLiveValues(LiveValues{});
    ShowLiveRaw(LiveRaw{});

    static const std::pair<int, int> inputPairs[6] = {{1, 8}, {2, 9}, {3, 10}, {11, 12}, {13, 14}, {15, 16}};
    static const int polarityLabels[6] = {35, 36, 37, 45, 47, 49};
    for (int i = 0; i < 6; ++i) {
        const bool hasFunction = choices[inputPairs[i].first]->GetSelection() > 0;
        choices[inputPairs[i].second]->Enable(hasFunction);
        labels[polarityLabels[i]]->Enable(hasFunction);
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
    showGearColumns(blipperGrid, device->GetFeature(FEATURE_BLIPPER_GEAR_COLUMNS) == 5, "2", _("All"));
    showGearColumns(shifterGrid, device->GetFeature(FEATURE_SHIFTER_GEAR_COLUMNS) == 5, "1", _("t[ms]"));

    notebook->Enable(!bootloader);
    warmUpCheck->Enable(device->GetFeature(FEATURE_WARMUP) > 0);
    if (device->GetFeature(FEATURE_GEAR_DETECTION_CHOICE) == 1) {
        gearDetection->Enable();
    } else {
        gearDetection->SetSelection(0);
        gearDetection->Disable();
    }
    ShowGearPanels(gearDetection->GetSelection());
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
    wxMessageBox(AboutText(), "About", wxOK | wxCENTRE, nullptr);
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
    wxStaticText* label = labels[31];
    if (!label->IsShownOnScreen() || !label->GetScreenRect().Contains(wxGetMousePosition()))
        return;
    ++doubleClickCount;
    if (doubleClickCount == 10 && notebook->FindPage(fftPage) == wxNOT_FOUND) {
        fftPage->Show();
        notebook->AddPage(fftPage, _("FFT"), false);
    }
}
