// wx base must be initialised before the settings stores are used.
#include <gtest/gtest.h>
#include <wx/init.h>

int main(int argc, char** argv)
{
    wxInitializer wx;
    if (!wx.IsOk()) {
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
