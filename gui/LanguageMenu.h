// Options > Language: one radio item per language of session/ProgramLanguage.h.
// The item of the stored choice is checked at start; choosing another keeps
// it in the user settings and says that it applies at the next start (the
// layouts are translated as they load, so a running window keeps its texts).
#pragma once

#include <wx/string.h>

class wxMenuBar;
class wxWindow;

class LanguageMenu {
public:
    // `menus` holds the items ("idLanguageSystem", ...); `parent` owns the
    // message box and receives the menu events.
    LanguageMenu(wxMenuBar& menus, wxWindow& parent);

    // The layout names of the items, in the order of kProgramLanguages.
    static const char* const kItemNames[6];

private:
    void OnChoose(const char* code);

    wxWindow& parent;
};
