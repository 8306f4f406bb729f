#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/image.h>

#include <string>

#include "WidgetTestSupport.h"
#include "gui/widgets/ArtProvider.h"

namespace {

class TestArtProvider : public ArtProvider {
public:
    using ArtProvider::CreateBitmap;
};

const char* const kArtIds[] = {"wxART_NEW",   "wxART_FILE_OPEN", "wxART_FILE_SAVE_AS", "wxART_CONNECT",
                               "wxART_READ",  "wxART_WRITE",     "wxART_FILL_DOWN",    "wxART_COPY",
                               "wxART_PASTE", "wxART_LOCK",      "wxART_WX_LOGO",      "wxART_REFRESH"};

struct SizeCase {
    wxSize requested;
    int loaded;  // edge of the icon file chosen
};

TEST(ArtProvider, EveryIdAtEveryRequestedSizeComesFromItsSizeDirectory)
{
    TestArtProvider provider;
    const SizeCase sizes[] = {{wxSize(16, 16), 16}, {wxSize(32, 32), 32}, {wxSize(64, 64), 64},
                              {wxSize(48, 48), 16}, {wxSize(24, 24), 16}, {wxSize(32, 64), 16},
                              {wxDefaultSize, 16}};
    for (const char* id : kArtIds) {
        for (const SizeCase& size : sizes) {
            const wxBitmap bitmap = provider.CreateBitmap(id, wxART_TOOLBAR, size.requested);
            ASSERT_TRUE(bitmap.IsOk()) << id << " at " << size.requested.x << "x" << size.requested.y;
            EXPECT_EQ(bitmap.GetSize(), wxSize(size.loaded, size.loaded)) << id;
        }
    }
}

TEST(ArtProvider, ConnectorAt32IsTheCommittedIcon)
{
    TestArtProvider provider;
    const wxImage fromArchive =
        provider.CreateBitmap(wxART_CONNECT, wxART_TOOLBAR, wxSize(32, 32)).ConvertToImage();
    wxImage committed;
    ASSERT_TRUE(committed.LoadFile(VANTREL_ICON_DIR "/32x32/connector.ico", wxBITMAP_TYPE_ICO));
    ASSERT_EQ(fromArchive.GetSize(), committed.GetSize());
    for (int y = 0; y < 32; y += 3) {
        for (int x = 0; x < 32; x += 3) {
            if (committed.HasAlpha() && committed.GetAlpha(x, y) == 0) {
                continue;
            }
            EXPECT_EQ(fromArchive.GetRed(x, y), committed.GetRed(x, y)) << x << "," << y;
            EXPECT_EQ(fromArchive.GetBlue(x, y), committed.GetBlue(x, y)) << x << "," << y;
        }
    }
}

TEST(ArtProvider, IdsOfOtherProvidersAreNotAnswered)
{
    TestArtProvider provider;
    for (const char* id : {"wxART_QUIT", "wxART_new", "wxART_CONNECT ", "", "wxART_HELP"}) {
        EXPECT_FALSE(provider.CreateBitmap(id, wxART_TOOLBAR, wxSize(32, 32)).IsOk()) << "'" << id << "'";
    }
}

TEST(ArtProvider, MissingArchiveGivesTheNullBitmap)
{
    TestArtProvider provider;
    const wxString here = wxGetCwd();
    const wxString empty = wxFileName::CreateTempFileName("vantrel-art");
    wxRemoveFile(empty);
    ASSERT_TRUE(wxMkdir(empty));
    ASSERT_EQ(chdir(empty.utf8_str()), 0);
    const bool loaded = provider.CreateBitmap(wxART_CONNECT, wxART_TOOLBAR, wxSize(32, 32)).IsOk();
    EXPECT_EQ(chdir(here.utf8_str()), 0);
    wxRmdir(empty);
    EXPECT_FALSE(loaded);
}

TEST(ArtProvider, ToolkitLookupPrefersThisProvider)
{
    wxArtProvider::Push(new ArtProvider);
    const wxBitmap connect = wxArtProvider::GetBitmap(wxART_CONNECT, wxART_TOOLBAR, wxSize(32, 32));
    const wxBitmap fillDown = wxArtProvider::GetBitmap(wxART_FILL_DOWN, wxART_MENU);
    wxArtProvider::Pop();
    EXPECT_TRUE(connect.IsOk());
    EXPECT_EQ(connect.GetSize(), wxSize(32, 32));
    EXPECT_TRUE(fillDown.IsOk());
}

}  // namespace
