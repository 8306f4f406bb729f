#include "gui/editors/ClipboardText.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

bool ReadClipboardText(wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    if (!wxTheClipboard->Open())
        return false;
    wxTextDataObject data;
    const bool ok = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data);
    wxTheClipboard->Close();
    if (ok)
        text = data.GetText();
    return ok;
}

void WriteClipboardText(const wxString& text)
{
    wxTheClipboard->UsePrimarySelection(false);
    if (!wxTheClipboard->Open())
        return;
    wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Flush();
    wxTheClipboard->Close();
}
