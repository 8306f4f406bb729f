// The system's language, as gettext reads it; the catalogues are checked in gui_translation_tests.
#include <gtest/gtest.h>

#include "session/ProgramLanguage.h"

TEST(ProgramLanguages, TheSystemsChoiceReadsTheEnvironmentAsGettextDoes)
{
    // LANGUAGE, LC_ALL, LC_MESSAGES, LANG (null: unset) and the choice.
    const char* const cases[][5] = {
        {nullptr, nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", "de"},
        {nullptr, nullptr, "it_IT.UTF-8", "de_DE", "it"},
        {nullptr, "fr_FR.UTF-8", "it_IT", "de_DE", "fr"},
        {nullptr, "", "", "es_ES.UTF-8", "es"},
        {"it:de", nullptr, nullptr, "fr_FR.UTF-8", "it"},
        {"nl:es", nullptr, nullptr, "fr_FR.UTF-8", "es"},
        {"nl", nullptr, nullptr, "fr_FR.UTF-8", "fr"},
        {"de", "C", nullptr, "fr_FR.UTF-8", "en"},
        {"de", nullptr, nullptr, "POSIX", "en"},
        {"de", nullptr, nullptr, "C.UTF-8", "en"},
        {nullptr, nullptr, nullptr, "de_AT.ISO-8859-1@euro", "de"},
        {nullptr, nullptr, nullptr, "pt_BR.UTF-8", "en"},
        {"en_GB:de", nullptr, nullptr, "de_DE.UTF-8", "en"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemLanguageCode(c[0], c[1], c[2], c[3]), c[4])
            << (c[0] ? c[0] : "-") << " " << (c[1] ? c[1] : "-") << " " << (c[2] ? c[2] : "-") << " " << c[3];
}
