#include "gui/widgets/ChoiceXmlHandler.h"

#include <wx/choice.h>
#include <wx/intl.h>
#include <wx/xml/xml.h>

ChoiceXmlHandler::ChoiceXmlHandler()
{
    XRC_ADD_STYLE(wxCB_SORT);
    AddWindowStyles();
}

bool ChoiceXmlHandler::CanHandle(wxXmlNode* node)
{
    return IsOfClass(node, "wxChoice") || (insideChoice && node->GetName() == "item");
}

wxObject* ChoiceXmlHandler::DoCreateResource()
{
    if (m_class != "wxChoice") {
        // An <item> of the choice being created.
        wxString text = GetNodeContent(m_node);
        if (m_resource->GetFlags() & wxXRC_USE_LOCALE)
            text = wxGetTranslation(text, m_resource->GetDomain());
        items.Add(text);
        return nullptr;
    }

    const long selection = GetLong("selection", -1);
    insideChoice = true;
    CreateChildrenPrivately(nullptr, GetParamNode("content"));
    insideChoice = false;

    XRC_MAKE_INSTANCE(control, wxChoice)
    const long style = GetStyle();
    // A size the layout gives stays the layout's.
    const bool sized = HasParam("size");
    wxString key;
    if (!sized && m_parentAsWindow) {
        key << style << '\n' << m_parentAsWindow->GetFont().GetNativeFontInfoDesc();
        for (const wxString& item : items)
            key << '\n' << item;
    }
    const auto known = sized ? bestSizes.end() : bestSizes.find(key);
    const wxSize size = known != bestSizes.end() ? known->second : GetSize();
    control->Create(m_parentAsWindow, GetID(), GetPosition(), size, items, style, wxDefaultValidator,
                    GetName());
    if (known != bestSizes.end()) {
        // As if it had been measured: no minimum of its own, the best size known.
        control->SetMinSize(wxDefaultSize);
        control->CacheBestSize(known->second);
    } else if (!sized && m_parentAsWindow) {
        bestSizes.emplace(key, control->GetBestSize());
    }
    if (selection != -1)
        control->SetSelection(static_cast<int>(selection));
    SetupWindow(control);
    items.Clear();
    return control;
}
