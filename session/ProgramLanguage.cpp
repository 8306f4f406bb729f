#include "session/ProgramLanguage.h"

#include <locale.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

namespace {

bool Set(const char* value)
{
    return value != nullptr && *value != '\0';
}

// "de" of "de_AT.UTF-8@euro"; the code in kProgramLanguages, or "" when the
// program has not that language.
std::string KnownLanguage(const std::string& name)
{
    const std::string language = name.substr(0, name.find_first_of("_.@"));
    if (language.empty())
        return "";
    return ProgramLanguageOf(language).code;
}

}  // namespace

std::string SystemLanguageCode(const char* language, const char* lcAll, const char* lcMessages,
                               const char* lang)
{
    const char* locale = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : Set(lang) ? lang : nullptr;
    if (locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0 ||
        std::strncmp(locale, "C.", 2) == 0)
        return "en";
    std::vector<std::string> wanted;
    if (Set(language)) {
        std::string list = language;
        for (size_t start = 0; start <= list.size();) {
            const size_t end = std::min(list.find(':', start), list.size());
            wanted.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    wanted.emplace_back(locale);
    for (const std::string& name : wanted) {
        std::string code = KnownLanguage(name);
        if (!code.empty())
            return code;
    }
    return "en";
}

std::vector<std::pair<std::string, std::string>> ToolkitLanguageEnvironment(
    const std::string& code, const char* lcAll, const char* lcMessages, const char* lang,
    bool environmentLoads, const std::function<bool(const std::string&)>& installed)
{
    const ProgramLanguage& language = ProgramLanguageOf(code);
    if (*language.code == '\0')
        return {};
    std::vector<std::pair<std::string, std::string>> changes{{"LANGUAGE", language.code}};
    const char* locale = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : Set(lang) ? lang : nullptr;
    const bool cLocale =
        locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0;
    if ((!cLocale && environmentLoads) || std::strcmp(language.code, "en") == 0)
        return changes;
    // LC_MESSAGES alone cannot help under LC_ALL, nor beside a locale the
    // system lacks (the C library then takes none of the environment's).
    const bool all = Set(lcAll) || !environmentLoads;
    for (const char* candidate :
         all ? std::array{"C.UTF-8", language.locale} : std::array{language.locale, "C.UTF-8"}) {
        if (installed(candidate)) {
            changes.emplace_back(all ? "LC_ALL" : "LC_MESSAGES", candidate);
            break;
        }
    }
    return changes;
}

bool LocaleInstalled(const std::string& name)
{
    locale_t locale = newlocale(LC_ALL_MASK, name.c_str(), nullptr);
    if (locale == nullptr)
        return false;
    freelocale(locale);
    return true;
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
    std::string chosen = ProgramLanguageOf(code).code;
    if (chosen.empty())
        chosen = SystemLanguageCode(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                    std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    translations->SetLanguage(wxString::FromUTF8(chosen));
    // A language with no catalogue is no error: its user sees English.
    wxLogNull quiet;
    translations->AddStdCatalog();
    translations->AddCatalog(kCatalogueName, wxLANGUAGE_ENGLISH_US);
    return *translations;
}
