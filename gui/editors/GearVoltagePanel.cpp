#include "gui/editors/GearVoltagePanel.h"

#include <wx/button.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

GearVoltagePanel::GearVoltagePanel(wxWindow* parent)
{
    wxXmlResource::Get()->LoadPanel(this, parent, "GearVoltagePanel");
    static const char* const gears[7] = {"N", "1", "2", "3", "4", "5", "6"};
    for (int i = 0; i < 7; ++i) {
        labels[i] = dynamic_cast<wxStaticText*>(FindWindow(XRCID(wxString("GEAR_VOLTAGE_TXT_") + gears[i])));
        spins[i] = dynamic_cast<wxSpinCtrl*>(FindWindow(XRCID(wxString("GEAR_VOLTAGE_SPN_") + gears[i])));
        buttons[i] = dynamic_cast<wxButton*>(FindWindow(XRCID(wxString("GEAR_VOLTAGE_BTN_") + gears[i])));
    }
}
