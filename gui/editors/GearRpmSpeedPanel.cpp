#include "gui/editors/GearRpmSpeedPanel.h"

#include <wx/button.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

GearRpmSpeedPanel::GearRpmSpeedPanel(wxWindow* parent)
{
    wxXmlResource::Get()->LoadPanel(this, parent, "GearRpmSpeedPanel");
    info = XRCCTRL(*this, "GEAR_RPMSPEED_TXT_INFO", wxStaticText);
    for (int i = 0; i < 6; ++i) {
        const wxString gear = wxString::Format("%d", i + 1);
        labels[i] = dynamic_cast<wxStaticText*>(FindWindow(XRCID("GEAR_RPMSPEED_TXT_" + gear)));
        spins[i] = dynamic_cast<wxSpinCtrl*>(FindWindow(XRCID("GEAR_RPMSPEED_SPN_" + gear)));
        buttons[i] = dynamic_cast<wxButton*>(FindWindow(XRCID("GEAR_RPMSPEED_BTN_" + gear)));
    }
}
