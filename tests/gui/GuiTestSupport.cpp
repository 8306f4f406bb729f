#include "GuiTestSupport.h"

#include <stdlib.h>

#include <algorithm>

#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/spinctrl.h>

#include "editor/EditorModel.h"
#include "emulator/VirtualBus.h"
#include "gui/NotebookPages.h"
#include "gui/VTX_GUIMain.h"
#include "gui/commands/FwUpdateDialog.h"

PagesOnDemand::PagesOnDemand(bool onDemand) : before(NotebookPages::BuildsOnDemand())
{
    NotebookPages::SetBuildOnDemand(onDemand);
}

PagesOnDemand::~PagesOnDemand()
{
    NotebookPages::SetBuildOnDemand(before);
}

wxWindow* FindControl(wxWindow* window, const char* name)
{
    auto* frame = dynamic_cast<VTX_GUIFrame*>(window);
    if (frame && frame->IsLayoutComplete()) {
        frame->GetPages().BuildPageHolding(name);
        // Controls the window adds to a page (the gear panels, the chart's
        // and the replay's) are not in the layout: every page then.
        if (!window->FindWindow(XRCID(name)))
            frame->GetPages().BuildAllPages();
    }
    return window->FindWindow(XRCID(name));
}

wxMenuItem* MenuItem(wxFrame* frame, const char* name)
{
    return frame->GetMenuBar()->FindItem(XRCID(name));
}

void RunMenuCommand(wxFrame* frame, const char* name)
{
    wxCommandEvent event(wxEVT_MENU, XRCID(name));
    event.SetEventObject(frame);
    wxMenuItem* item = MenuItem(frame, name);
    if (item && item->IsCheckable())
        event.SetInt(item->IsChecked());
    frame->ProcessWindowEvent(event);
}

void SendCommand(wxWindow* control, wxEventType type, int selection)
{
    wxCommandEvent event(type, control->GetId());
    event.SetEventObject(control);
    event.SetInt(selection);
    control->ProcessWindowEvent(event);
}

void SpinTo(wxSpinCtrl* spin, int value)
{
    spin->SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(value);
    spin->ProcessWindowEvent(event);
}

wxString ClipboardText()
{
    wxTheClipboard->UsePrimarySelection(false);
    wxString text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data))
            text = data.GetText();
        wxTheClipboard->Close();
    }
    return text;
}

std::string MakeTempFolder()
{
    char folder[] = "/tmp/vantrel-gui-XXXXXX";
    return mkdtemp(folder) ? folder : "";
}

int ModalAnswerer::Enter(wxDialog* dialog)
{
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    shown.push_back({dialog->GetTitle(), box != nullptr ? box->GetMessage() : wxString()});
    if (answers.empty())
        return fallback;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool IsSimulated(VTX_GUIFrame* frame)
{
    return frame->GetDevice() != nullptr && frame->GetDevice()->GetFeature(5) > 0;
}

void ExpectMarksOfTheModel(VTX_GUIFrame* frame, const char* what, std::optional<bool> invalid)
{
    auto spin = [&](EditorControl control) { return FindControl(frame, BindingOf(control).name); };
    EditorModel model;
    model.Show(frame->CollectConfiguration());
    const EditorValidity validity = model.Validate();
    if (invalid) {
        EXPECT_EQ(validity.listed.empty(), !*invalid) << what;
    }
    std::vector<wxWindow*> listed;
    for (EditorControl control : validity.listed)
        listed.push_back(spin(control));
    EXPECT_EQ(frame->GetInvalidControls(), listed) << what;
    for (EditorControl control : ValidatedControls())
        EXPECT_EQ(spin(control)->GetBackgroundColour() == *wxRED,
                  std::count(validity.marked.begin(), validity.marked.end(), control) == 1)
            << what << ": " << BindingOf(control).name;
}

void OnVirtualBus::SetUp()
{
    // The update reports progress and info records; the suite's own start-up
    // may have filtered them out.
    previousLevel = wxLog::GetLogLevel();
    wxLog::SetLogLevel(wxLOG_Progress);
    bus = AppBus();
    if (bus == nullptr)
        GTEST_SKIP() << "needs the virtual USB bus (run under umockdev-wrapper)";
    frame = MainWindow();
    {
        UserSettings settings;
        for (const char* serial : {"VT000001", "VT000002", "VT000003", "VT000009", "CV000001"})
            settings.WriteRefusedFirmwareVersion(serial, 0x7FFFFFFFL);
    }
    UnplugAll();
    Launch();
    MenuItem(frame, "idConfirmWriting")->Check(true);
    if (showDefaults) {
        defaults = frame->GetDevice()->GetDefaultConfiguration();
        frame->ShowConfiguration(defaults);
        frame->RefreshControls();
        frame->ValidateControls();
    }
    SetUpOnBus();
}

void OnVirtualBus::TearDown()
{
    wxLog::SetLogLevel(previousLevel);
    if (bus == nullptr)
        return;
    ModalAnswerer quiet;
    if (frame->GetFwUpdateDialog() != nullptr)
        frame->GetFwUpdateDialog()->Close();
    UnplugAll();
    Launch();
}

void OnVirtualBus::UnplugAll()
{
    for (size_t i = 0; i < bus->UnitCount(); ++i)
        if (bus->IsAttached(bus->UnitAt(i)))
            bus->Unplug(bus->UnitAt(i));
}

VirtualUnit& OnVirtualBus::PlugUnit(const std::string& serial, uint16_t generation)
{
    UnitOptions options;
    options.generation = generation;
    options.serial = serial;
    return bus->AddUnit(options);
}

void OnVirtualBus::Launch()
{
    frame->AutoConnect();
    Pump();
}
