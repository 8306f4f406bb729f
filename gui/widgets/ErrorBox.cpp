#include "gui/widgets/ErrorBox.h"

void ShowError(const wxString& text, const wxString& caption)
{
    wxMessageBox(text, caption, wxOK | wxICON_ERROR);
}
