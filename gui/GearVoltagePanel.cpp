#include "GearVoltagePanel.h"

#include <wx/button.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

GearVoltagePanel::GearVoltagePanel(wxWindow* parent)
{
    wxXmlResource::Get()->LoadPanel(this, parent, "GearVoltagePanel");
    static const char* const gears[7] = {"N", "1", "2", "3", "4", "5", "6"};
    for (int i = 0; i < 7; ++i) {
        labels[i] = wxDynamicCast(FindWindow(XRCID(wxString("GEAR_VOLTAGE_TXT_") + gears[i])), wxStaticText);
        spins[i] = wxDynamicCast(FindWindow(XRCID(wxString("GEAR_VOLTAGE_SPN_") + gears[i])), wxSpinCtrl);
        buttons[i] = wxDynamicCast(FindWindow(XRCID(wxString("GEAR_VOLTAGE_BTN_") + gears[i])), wxButton);
    }
}
