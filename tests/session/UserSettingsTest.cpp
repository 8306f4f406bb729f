// The user settings on stores held in memory, and on the user's own store in
// a home directory of the test's own. No display needed.
#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/sstream.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "session/UserSettings.h"

namespace {

// A store holding the lines of a settings text, kept in memory.
std::unique_ptr<wxFileConfig> StoreOf(const char* text)
{
    wxStringInputStream in(text);
    return std::make_unique<wxFileConfig>(in);
}

std::string TextOf(wxFileConfig& store)
{
    wxString text;
    wxStringOutputStream out(&text);
    store.Save(out);
    return text.ToStdString();
}

TEST(UserSettings, AnEmptyStoreGivesTheFirstStartDefaults)
{
    const auto store = StoreOf("");
    const UserSettings settings(*store);
    EXPECT_FALSE(settings.ReadPlacement());
    EXPECT_FALSE(settings.Read(kMaximizedFlag));
    EXPECT_TRUE(settings.Read(kTabletModeFlag));
    EXPECT_TRUE(settings.Read(kConfirmWritingFlag));
    EXPECT_FALSE(settings.Read(kShowFftFlag));
    EXPECT_FALSE(settings.ReadRefusedFirmwareVersion("ABC123"));
}

TEST(UserSettings, StoredValuesAreReadUnderTheirKeys)
{
    const auto store = StoreOf(
        "Left=-8\nTop=20\nWidth=1024\nHeight=700\nMaximized=1\nTabletMode=0\nConfirmWriting=0\nFFT=1\n"
        "ABC123RefusedFirmwareVersion=264\n");
    const UserSettings settings(*store);
    const std::optional<WindowPlacement> placement = settings.ReadPlacement();
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->left, -8);
    EXPECT_EQ(placement->top, 20);
    EXPECT_EQ(placement->width, 1024);
    EXPECT_EQ(placement->height, 700);
    EXPECT_TRUE(settings.Read(kMaximizedFlag));
    EXPECT_FALSE(settings.Read(kTabletModeFlag));
    EXPECT_FALSE(settings.Read(kConfirmWritingFlag));
    EXPECT_TRUE(settings.Read(kShowFftFlag));
    EXPECT_EQ(settings.ReadRefusedFirmwareVersion("ABC123"), 264);
    // One key per unit: another serial number has declined nothing.
    EXPECT_FALSE(settings.ReadRefusedFirmwareVersion("ABC124"));
}

TEST(UserSettings, APlacementNeedsAllFourKeys)
{
    for (const char* text :
         {"Top=2\nWidth=3\nHeight=4\n", "Left=1\nTop=2\nHeight=4\n", "Left=1\nTop=2\nWidth=3\n"}) {
        const auto store = StoreOf(text);
        EXPECT_FALSE(UserSettings(*store).ReadPlacement()) << text;
    }
}

TEST(UserSettings, WritesKeepTheKeysAndTypesOfTheStore)
{
    const auto store = StoreOf("FFT=1\n");
    UserSettings settings(*store);
    settings.WritePlacement({-8, 20, 1024, 700});
    settings.Write(kMaximizedFlag, false);
    settings.Write(kTabletModeFlag, false);
    settings.Write(kConfirmWritingFlag, true);
    settings.WriteRefusedFirmwareVersion("ABC123", 264);
    EXPECT_EQ(TextOf(*store),
              "FFT=1\nLeft=-8\nTop=20\nWidth=1024\nHeight=700\nMaximized=0\nTabletMode=0\nConfirmWriting=1\n"
              "ABC123RefusedFirmwareVersion=264\n");
}

TEST(UserSettings, KeysAreForgottenOneByOneOrAll)
{
    const auto store = StoreOf("FFT=1\nLeft=1\nTop=2\nWidth=3\nHeight=4\nABC123RefusedFirmwareVersion=264\n");
    UserSettings settings(*store);
    EXPECT_TRUE(settings.Has(kShowFftFlag.key));
    EXPECT_FALSE(settings.Has(kTabletModeFlag.key));
    settings.Forget("Width");
    EXPECT_FALSE(settings.ReadPlacement());
    settings.ForgetRefusedFirmwareVersion("ABC123");
    EXPECT_FALSE(settings.ReadRefusedFirmwareVersion("ABC123"));
    EXPECT_EQ(TextOf(*store), "FFT=1\nLeft=1\nTop=2\nHeight=4\n");
    settings.Clear();
    EXPECT_FALSE(settings.Has(kShowFftFlag.key));
    EXPECT_EQ(TextOf(*store), "");
}

// The user's store is the per-user file of application "Vantrel" in the home
// directory, where the next start finds what was written.
TEST(UserSettings, TheUserStoreIsTheUsersOwnFile)
{
    namespace fs = std::filesystem;
    std::string home = (fs::temp_directory_path() / "vantrel-home-XXXXXX").string();
    ASSERT_NE(mkdtemp(home.data()), nullptr);
    const char* previous = std::getenv("HOME");
    const std::string saved = previous ? previous : "";
    setenv("HOME", home.c_str(), 1);
    {
        UserSettings settings;
        settings.Write(kTabletModeFlag, false);
        settings.WriteRefusedFirmwareVersion("ABC123", 264);
        settings.Flush();
    }
    const bool tabletMode = UserSettings().Read(kTabletModeFlag);
    std::ostringstream file;
    file << std::ifstream(fs::path(home) / ".Vantrel").rdbuf();
    if (previous)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");
    fs::remove_all(home);

    EXPECT_FALSE(tabletMode);
    EXPECT_EQ(file.str(), "TabletMode=0\nABC123RefusedFirmwareVersion=264\n");
}

}  // namespace
