// The languages the program's texts come in, and the catalogues that carry
// them. The English texts of the code are the message ids; a catalogue
// "vantrel" per language (with the toolkit's own "wxstd" beside it) gives the
// others. Display-free (wx base only): the window program sets them up at
// start, the command-line program never does, so its texts stay English.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <wx/string.h>

class wxTranslations;

// A language the user can choose: its code in the user settings ("" follows
// the system), its name as the Language menu shows it, in the language
// itself (only "System" is translated), and the C library's locale of its
// home country, which gives the toolkit's own texts in it (see
// ToolkitLanguageEnvironment).
struct ProgramLanguage {
    const char* code;
    const char* name;
    const char* locale;
};

inline constexpr std::array<ProgramLanguage, 6> kProgramLanguages{{
    {"", "System", ""},
    {"en", "English", "en_US.UTF-8"},
    {"de", "Deutsch", "de_DE.UTF-8"},
    {"it", "Italiano", "it_IT.UTF-8"},
    {"fr", "Français", "fr_FR.UTF-8"},
    {"es", "Español", "es_ES.UTF-8"},
}};

// The catalogue of the program's own texts.
inline constexpr const char* kCatalogueName = "vantrel";

// The entry of kProgramLanguages with this code; the system's ("") for a
// code the program does not know (a settings file from a later version).
const ProgramLanguage& ProgramLanguageOf(const std::string& code);

// The system's choice among kProgramLanguages, as gettext makes it: the
// locale of messages is LC_ALL, else LC_MESSAGES, else LANG (the first that
// is set and not empty); under the C or POSIX locale, or none, the texts are
// English ("en"). Otherwise LANGUAGE, a list like "it:de", comes first, then
// that locale; the first entry whose language the program has wins
// ("de_AT.UTF-8" is "de"), and English when none has. Null is unset.
std::string SystemLanguageCode(const char* language, const char* lcAll, const char* lcMessages,
                               const char* lang);

// The environment variables to set, in this order, before the toolkit starts,
// so that its own texts (the file chooser's, the stock buttons') come in the
// language with this code like the program's: GTK takes them from its
// catalogues through gettext, which follows the environment, not the
// program's choice. LANGUAGE becomes the code. Gettext ignores LANGUAGE
// under the C locale, so when the locale of messages would be C (LC_ALL, else
// LC_MESSAGES, else LANG is unset, "C" or "POSIX", or `environmentLoads` says
// the C library lacks a locale the environment names, which leaves it all C),
// an installed locale takes its place: as LC_MESSAGES the language's own,
// else "C.UTF-8"; when LC_ALL is set or the environment does not load, as
// LC_ALL "C.UTF-8", else the language's own, so that the formats stay those
// of the C locale as far as the system allows. English needs no locale (the
// C locale speaks it). Nothing for the system's language ("" or a code the
// program does not know). `installed` says whether the C library has a locale.
std::vector<std::pair<std::string, std::string>> ToolkitLanguageEnvironment(
    const std::string& code, const char* lcAll, const char* lcMessages, const char* lang,
    bool environmentLoads, const std::function<bool(const std::string&)>& installed);

// Whether the C library has the locale `name` for every category; "" asks
// for the locales that the environment names.
bool LocaleInstalled(const std::string& name);

// Folders holding <lang>/LC_MESSAGES/vantrel.mo: "locale" in each of the
// program's resource folders (the build tree keeps them beside the program),
// then the installed locale folder, then the toolkit's own places.
std::vector<wxString> CatalogueFolders(const std::vector<wxString>& resourceFolders);

// Makes a new translations object the toolkit's, for the language with this
// code ("" is the system's: SystemLanguageCode of the environment), with the
// program's catalogue and the toolkit's. English and languages without a
// catalogue show the message ids. Returns the object (owned by the toolkit).
wxTranslations& UseProgramLanguage(const std::string& code, const std::vector<wxString>& catalogueFolders);
