// Creates the layouts' wxChoice objects as the toolkit's own handler does,
// measuring each distinct list of items only once. Asking the toolkit for a
// choice's best size lays out every item of it, which made up a tenth of the
// main window's build while most choices share one of a few lists (the six
// input functions, their secondary settings, ...). A choice whose items,
// style and parent font were seen before gets the size measured then.
#pragma once

#include <map>

#include <wx/arrstr.h>
#include <wx/xrc/xmlres.h>

class ChoiceXmlHandler : public wxXmlResourceHandler {
public:
    ChoiceXmlHandler();
    wxObject* DoCreateResource() override;
    bool CanHandle(wxXmlNode* node) override;

private:
    bool insideChoice = false;
    wxArrayString items;
    std::map<wxString, wxSize> bestSizes;
};
