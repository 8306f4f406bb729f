#include "GuiTestSupport.h"

#include <stdlib.h>

#include <wx/frame.h>
#include <wx/spinctrl.h>

#include "emulator/VirtualBus.h"
#include "gui/NotebookPages.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"

namespace {
VirtualBus* testBus = nullptr;

}  // namespace

PagesOnDemand::PagesOnDemand(bool onDemand) : before(NotebookPages::BuildsOnDemand())
{
    NotebookPages::SetBuildOnDemand(onDemand);
}

PagesOnDemand::~PagesOnDemand()
{
    NotebookPages::SetBuildOnDemand(before);
}

void SetTestBus(VirtualBus* bus)
{
    testBus = bus;
}

VirtualBus* TestBus()
{
    return testBus;
}

VTX_GUIFrame* MainWindow()
{
    return static_cast<VTX_GUIApp*>(wxTheApp)->GetMainWindow();
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

void UnplugAllUnits(VirtualBus& bus, VTX_GUIFrame* frame)
{
    for (size_t i = 0; i < bus.UnitCount(); ++i)
        if (bus.IsAttached(bus.UnitAt(i)))
            bus.Unplug(bus.UnitAt(i));
    frame->AutoConnect();
    Pump();
}

void Pump()
{
    for (int round = 0; round < 3; ++round) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

std::string MakeTempFolder()
{
    char folder[] = "/tmp/vantrel-gui-XXXXXX";
    return mkdtemp(folder) ? folder : "";
}
