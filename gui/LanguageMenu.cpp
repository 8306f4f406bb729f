#include "gui/LanguageMenu.h"

#include <iterator>

#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>
#include <wx/window.h>
#include <wx/xrc/xmlres.h>

#include "session/ProgramLanguage.h"
#include "session/UserSettings.h"

const char* const LanguageMenu::kItemNames[6] = {"idLanguageSystem", "idLanguageEnglish",
                                                 "idLanguageGerman", "idLanguageItalian",
                                                 "idLanguageFrench", "idLanguageSpanish"};

static_assert(std::size(LanguageMenu::kItemNames) == kProgramLanguages.size());

LanguageMenu::LanguageMenu(wxMenuBar& menus, wxWindow& parent) : parent(parent)
{
    const std::string stored = ProgramLanguageOf(UserSettings().ReadLanguage()).code;
    for (size_t i = 0; i < kProgramLanguages.size(); ++i) {
        const int id = XRCID(kItemNames[i]);
        wxMenuItem* item = menus.FindItem(id);
        if (!item)
            continue;
        const char* code = kProgramLanguages[i].code;
        if (stored == code)
            item->Check(true);
        parent.Bind(
            wxEVT_MENU, [this, code](wxCommandEvent&) { OnChoose(code); }, id);
    }
}

void LanguageMenu::OnChoose(const char* code)
{
    {
        UserSettings settings;
        if (settings.ReadLanguage() == code)
            return;
        settings.WriteLanguage(code);
    }
    wxMessageBox(_("The new language applies the next time VantrelStudio starts."), _("Language"),
                 wxOK | wxICON_INFORMATION | wxCENTRE, &parent);
}
