// Lets XRC layouts contain wxStateLed objects, with their state colours:
//   <object class="wxStateLed" name="ID_LED">
//     <colour count="3" current="0"><colour_0>#FF0000</colour_0>...</colour>
//   </object>
#pragma once

#include <wx/xrc/xmlres.h>

class wxStateLedXmlHandler : public wxXmlResourceHandler {
public:
    wxStateLedXmlHandler();

    wxObject* DoCreateResource() override;
    bool CanHandle(wxXmlNode* node) override;

private:
    wxDECLARE_DYNAMIC_CLASS(wxStateLedXmlHandler);
};
