#include "session/ProgramLanguage.h"

#include <algorithm>

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/translation.h>

const ProgramLanguage& ProgramLanguageOf(const std::string& code)
{
    for (const ProgramLanguage& language : kProgramLanguages) {
        if (code == language.code)
            return language;
    }
    return kProgramLanguages.front();
}

std::vector<wxString> CatalogueFolders(const std::vector<wxString>& resourceFolders)
{
    std::vector<wxString> folders;
    for (const wxString& folder : resourceFolders) {
        if (!folder.empty())
            folders.push_back(wxFileName(folder, "locale").GetFullPath());
    }
#ifdef VANTREL_LOCALEDIR
    folders.emplace_back(VANTREL_LOCALEDIR);
#endif
    return folders;
}

wxTranslations& UseProgramLanguage(const std::string& code, const std::vector<wxString>& catalogueFolders)
{
    // The loader keeps its prefixes for the process; each is added once.
    static std::vector<wxString> added;
    for (const wxString& folder : catalogueFolders) {
        if (std::find(added.begin(), added.end(), folder) == added.end()) {
            wxFileTranslationsLoader::AddCatalogLookupPathPrefix(folder);
            added.push_back(folder);
        }
    }
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    if (code.empty())
        translations->SetLanguage(wxLANGUAGE_DEFAULT);
    else
        translations->SetLanguage(wxString::FromUTF8(ProgramLanguageOf(code).code));
    // A language with no catalogue is no error: its user sees English.
    wxLogNull quiet;
    translations->AddStdCatalog();
    translations->AddCatalog(kCatalogueName, wxLANGUAGE_ENGLISH_US);
    return *translations;
}
