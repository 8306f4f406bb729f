// The one way the windows report a failure: a modal message box with the
// error icon and an OK button, without a parent window.
#pragma once

#include <wx/msgdlg.h>
#include <wx/string.h>

// The caption defaults to the toolkit's own ("Message"); most failures of a
// file or an editor pass "Error".
void ShowError(const wxString& text, const wxString& caption = wxMessageBoxCaptionStr);
