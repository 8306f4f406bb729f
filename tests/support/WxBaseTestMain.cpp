// The entry of the suites without a display: wx base needs its library
// initialised before wxFileConfig and wxLog are used.
#include <gtest/gtest.h>
#include <wx/init.h>

#include <clocale>

int main(int argc, char** argv)
{
    // The locale of the environment, so that a run under another one
    // (config_tests_de_DE) shows what it changes.
    std::setlocale(LC_ALL, "");
    wxInitializer wx;
    if (!wx.IsOk()) {
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
