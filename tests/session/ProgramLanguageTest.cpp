// The program's languages: which catalogue each choice loads, from the
// catalogues built into the build tree. No display needed.
#include <gtest/gtest.h>
#include <wx/translation.h>

#include <cstdlib>
#include <string>

#include "session/ProgramLanguage.h"

namespace {

// A message id of the program's catalogue, one of the toolkit's, and their
// texts in each language, written down from the catalogues by hand.
struct Expected {
    const char* code;
    const char* read;          // "Read"
    const char* warmUp;        // "Warm-up" (a layout's text)
    const char* toolkitClose;  // the toolkit's "&Close" in wxstd
};

class ProgramLanguageTest : public testing::Test {
protected:
    void TearDown() override { wxTranslations::Set(nullptr); }
    static std::vector<wxString> Folders() { return CatalogueFolders({VANTREL_GUI_DIR}); }
};

TEST_F(ProgramLanguageTest, EachChoiceLoadsItsCatalogueAndEnglishShowsTheIds)
{
    const Expected cases[] = {
        {"en", "Read", "Warm-up", "&Close"},         {"de", "Lesen", "Warmlauf", "&Schließen"},
        {"it", "Leggi", "Riscaldamento", "&Chiudi"}, {"fr", "Lire", "Chauffe", "&Fermer"},
        {"es", "Leer", "Calentamiento", "&Cerrar"},
    };
    for (const Expected& c : cases) {
        UseProgramLanguage(c.code, Folders());
        EXPECT_EQ(wxGetTranslation("Read").utf8_string(), c.read) << c.code;
        EXPECT_EQ(wxGetTranslation("Warm-up").utf8_string(), c.warmUp) << c.code;
        EXPECT_EQ(wxGetTranslation("&Close", "wxstd-3.2").utf8_string(), c.toolkitClose) << c.code;
    }
}

TEST_F(ProgramLanguageTest, TheSystemChoiceFollowsTheEnvironment)
{
    // LANGUAGE first, as gettext does; a language without catalogue is English.
    const struct {
        const char* language;
        const char* lang;
        const char* read;
    } cases[] = {
        {"it", "de_DE.UTF-8", "Leggi"}, {"", "fr_FR.UTF-8", "Lire"}, {"", "es_ES.UTF-8", "Leer"},
        {"", "nl_NL.UTF-8", "Read"},    {"", "C", "Read"},
    };
    for (const auto& c : cases) {
        setenv("LANGUAGE", c.language, 1);
        setenv("LANG", c.lang, 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        UseProgramLanguage("", Folders());
        EXPECT_EQ(wxGetTranslation("Read").utf8_string(), c.read) << c.language << " " << c.lang;
        // A code from a later version is the system's choice too.
        UseProgramLanguage("pt", Folders());
        EXPECT_EQ(wxGetTranslation("Read").utf8_string(), c.read) << "pt under " << c.lang;
    }
    unsetenv("LANGUAGE");
    unsetenv("LANG");
}

TEST(ProgramLanguages, CodesNamesAndTheFallback)
{
    EXPECT_STREQ(ProgramLanguageOf("").name, "System");
    EXPECT_STREQ(ProgramLanguageOf("de").name, "Deutsch");
    EXPECT_STREQ(ProgramLanguageOf("fr").name, "Français");
    EXPECT_STREQ(ProgramLanguageOf("xx").code, "");
    const std::vector<wxString> folders = CatalogueFolders({"/a", "", "/b"});
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], "/a/locale");
    EXPECT_EQ(folders[1], "/b/locale");
}

}  // namespace

namespace {

TEST(ProgramLanguages, TheSystemsChoiceReadsTheEnvironmentAsGettextDoes)
{
    const struct {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* code;
    } cases[] = {
        {nullptr, nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", "de"},
        {nullptr, nullptr, "it_IT.UTF-8", "de_DE.UTF-8", "it"},
        {nullptr, "fr_FR.UTF-8", "it_IT.UTF-8", "de_DE.UTF-8", "fr"},
        {nullptr, "", "", "es_ES.UTF-8", "es"},            // empty is unset
        {"it:de", nullptr, nullptr, "fr_FR.UTF-8", "it"},  // LANGUAGE first
        {"nl:es", nullptr, nullptr, "fr_FR.UTF-8", "es"},  // its first known entry
        {"nl", nullptr, nullptr, "fr_FR.UTF-8", "fr"},     // then the locale
        {"de", "C", nullptr, "fr_FR.UTF-8", "en"},         // C ignores LANGUAGE
        {"de", nullptr, nullptr, "POSIX", "en"},
        {"de", nullptr, nullptr, "C.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "de_AT.ISO-8859-1@euro", "de"},
        {nullptr, nullptr, nullptr, "pt_BR.UTF-8", "en"},
        {"en_GB:de", nullptr, nullptr, "de_DE.UTF-8", "en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemLanguageCode(c.language, c.lcAll, c.lcMessages, c.lang), c.code)
            << (c.language ? c.language : "-") << " " << (c.lcAll ? c.lcAll : "-") << " "
            << (c.lcMessages ? c.lcMessages : "-") << " " << (c.lang ? c.lang : "-");
}

}  // namespace
