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

TEST(ProgramLanguages, TheToolkitIsToldTheChosenLanguageWhereGettextListens)
{
    // The choice, LC_ALL, LC_MESSAGES, LANG (null: unset), "+" when they load, the installed
    // locales and what is set, in order.
    const char* const de = "C.UTF-8 de_DE.UTF-8 fr_FR.UTF-8";
    const char* const cases[][7] = {
        {"", nullptr, nullptr, "C", "+", de, ""},
        {"xx", nullptr, nullptr, "de_DE.UTF-8", "+", de, ""},
        {"de", nullptr, nullptr, "fr_FR.UTF-8", "+", de, "LANGUAGE=de "},
        {"de", "C.UTF-8", nullptr, nullptr, "+", de, "LANGUAGE=de "},
        {"de", nullptr, nullptr, "C", "+", de, "LANGUAGE=de LC_MESSAGES=de_DE.UTF-8 "},
        {"de", nullptr, nullptr, nullptr, "+", de, "LANGUAGE=de LC_MESSAGES=de_DE.UTF-8 "},
        {"fr", nullptr, "POSIX", "de_DE.UTF-8", "+", de, "LANGUAGE=fr LC_MESSAGES=fr_FR.UTF-8 "},
        {"it", nullptr, "", "C", "+", de, "LANGUAGE=it LC_MESSAGES=C.UTF-8 "},
        {"de", "C", nullptr, "fr_FR.UTF-8", "+", de, "LANGUAGE=de LC_ALL=C.UTF-8 "},
        {"de", "C", nullptr, nullptr, "+", "de_DE.UTF-8", "LANGUAGE=de LC_ALL=de_DE.UTF-8 "},
        {"de", "POSIX", nullptr, nullptr, "+", "", "LANGUAGE=de "},
        {"es", nullptr, nullptr, "en_US.UTF-8", "-", de, "LANGUAGE=es LC_ALL=C.UTF-8 "},
        {"en", "C", nullptr, nullptr, "+", de, "LANGUAGE=en "},
        {"en", nullptr, nullptr, "de_DE.UTF-8", "+", de, "LANGUAGE=en "},
    };
    for (const auto& c : cases) {
        const std::string installed = std::string(" ") + c[5] + " ";
        std::string set;
        for (const auto& [name, value] :
             ToolkitLanguageEnvironment(c[0], c[1], c[2], c[3], *c[4] == '+', [&](const std::string& locale) {
                 return installed.find(" " + locale + " ") != std::string::npos;
             }))
            set.append(name).append("=").append(value).append(" ");
        EXPECT_EQ(set, c[6]) << c[0] << " " << (c[1] ? c[1] : "-") << " " << (c[2] ? c[2] : "-") << " "
                             << (c[3] ? c[3] : "-");
    }
    EXPECT_TRUE(LocaleInstalled("C") && !LocaleInstalled("xx_YY.UTF-8"));
}
