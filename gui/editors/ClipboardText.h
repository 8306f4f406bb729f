// The system clipboard's text, as the editors copy and paste it (the
// clipboard itself, not the primary selection).
#pragma once

#include <wx/string.h>

// False when the clipboard could not be opened or holds no text.
bool ReadClipboardText(wxString& text);
void WriteClipboardText(const wxString& text);
