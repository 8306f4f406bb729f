#include "gui/widgets/wxStateLedXmlHandler.h"

#include <wx/xml/xml.h>

#include "gui/widgets/wxStateLed.h"

wxIMPLEMENT_DYNAMIC_CLASS(wxStateLedXmlHandler, wxXmlResourceHandler);

wxStateLedXmlHandler::wxStateLedXmlHandler()
{
    AddWindowStyles();
}

bool wxStateLedXmlHandler::CanHandle(wxXmlNode* node)
{
    return IsOfClass(node, "wxStateLed");
}

wxObject* wxStateLedXmlHandler::DoCreateResource()
{
    XRC_MAKE_INSTANCE(led, wxStateLed)

    led->Create(m_parentAsWindow, GetID(), wxColour(128, 128, 128), GetPosition(), GetName());
    // "hidden" is applied only now: a window that does not exist yet cannot be hidden.
    if (GetBool("hidden")) {
        led->Hide();
    }
    if (HasParam("disable_colour")) {
        led->SetDisableColour(GetColour("disable_colour"));
    }

    if (wxXmlNode* colours = GetParamNode("colour")) {
        long count = 0;
        long current = 0;
        if (!colours->GetAttribute("count", "0").ToLong(&count)) {
            count = 0;
        }
        if (!colours->GetAttribute("current", "0").ToLong(&current)) {
            current = 0;
        }
        // Children are matched by position: the i-th element must be "colour_<i>";
        // a child with another name is consumed without defining state i.
        long i = 0;
        for (wxXmlNode* child = colours->GetChildren(); child && i < count; child = child->GetNext()) {
            if (child->GetType() != wxXML_ELEMENT_NODE) {
                continue;
            }
            if (child->GetName() == wxString::Format("colour_%ld", i)) {
                wxColour colour;
                colour.Set(child->GetNodeContent().Strip(wxString::both));
                led->SetColour(static_cast<int32_t>(i), colour);
            }
            ++i;
        }
        led->SetState(static_cast<int32_t>(current));
    }

    SetupWindow(led);
    return led;
}
