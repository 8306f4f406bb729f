// The languages the program's texts come in, and the catalogues that carry
// them. The English texts of the code are the message ids; a catalogue
// "vantrel" per language (with the toolkit's own "wxstd" beside it) gives the
// others. Display-free (wx base only): the window program sets them up at
// start, the command-line program never does, so its texts stay English.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <wx/string.h>

class wxTranslations;

// A language the user can choose: its code in the user settings ("" follows
// the system) and its name as the Language menu shows it, in the language
// itself. Only "System" is translated.
struct ProgramLanguage {
    const char* code;
    const char* name;
};

inline constexpr std::array<ProgramLanguage, 6> kProgramLanguages{{
    {"", "System"},
    {"en", "English"},
    {"de", "Deutsch"},
    {"it", "Italiano"},
    {"fr", "Français"},
    {"es", "Español"},
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

// Folders holding <lang>/LC_MESSAGES/vantrel.mo: "locale" in each of the
// program's resource folders (the build tree keeps them beside the program),
// then the installed locale folder, then the toolkit's own places.
std::vector<wxString> CatalogueFolders(const std::vector<wxString>& resourceFolders);

// Makes a new translations object the toolkit's, for the language with this
// code ("" is the system's: SystemLanguageCode of the environment), with the
// program's catalogue and the toolkit's. English and languages without a
// catalogue show the message ids. Returns the object (owned by the toolkit).
wxTranslations& UseProgramLanguage(const std::string& code, const std::vector<wxString>& catalogueFolders);
