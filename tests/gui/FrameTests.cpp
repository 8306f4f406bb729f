// The main window without a unit: start-up, the settings store, the toolbar
// and the FFT page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/notebook.h>
#include <wx/statbox.h>
#include <wx/testing.h>
#include <wx/toolbar.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include "GuiTestSupport.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"

namespace {

// A frame built on the current settings store; deleting it saves them.
struct FrameOnSettings {
    FrameOnSettings() : frame(new VTX_GUIFrame(nullptr)) {}
    ~FrameOnSettings() { delete frame; }
    VTX_GUIFrame* frame;
};

bool HasFftPage(wxFrame* frame)
{
    auto* notebook = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
    for (size_t page = 0; page < notebook->GetPageCount(); ++page)
        if (notebook->GetPage(page)->GetName() == "ID_PNL_FFT")
            return true;
    return false;
}

int ToolBitmapWidth(wxFrame* frame)
{
    return frame->GetToolBar()->GetToolBitmapSize().GetWidth();
}

// Writes an archive with the given members (name, text) into `folder`.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members)
{
    wxFFileOutputStream file(path);
    wxZipOutputStream zip(file);
    for (const auto& [name, text] : members) {
        zip.PutNextEntry(name);
        zip.Write(text.data(), text.size());
    }
    zip.Close();
}

const char* kEmptyLayout =
    "<?xml version=\"1.0\"?><resource xmlns=\"http://www.wxwidgets.org/wxxrc\" "
    "version=\"2.5.3.0\"></resource>";

}  // namespace

// ---------------------------------------------------------------------------
// Start-up

namespace {

// Cancels a file dialog after noting the folder it starts in.
class ExpectFileDialog : public wxExpectModalBase<wxFileDialog, ExpectFileDialog> {
public:
    explicit ExpectFileDialog(wxString* folder) : folder(folder) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override
    {
        *folder = dialog->GetDirectory();
        return wxID_CANCEL;
    }

private:
    wxString* folder;
};

}  // namespace

TEST(StartUp, MissingArchiveEndsOnInitWithoutWindow)
{
    const std::string empty = MakeTempFolder();
    const wxString previous = wxGetCwd();
    ASSERT_EQ(chdir(empty.c_str()), 0);
    const size_t windowsBefore = wxTopLevelWindows.size();
    // The running application goes through its start-up once more, now
    // without archives anywhere (only a second wxApp object could do it
    // otherwise, and the toolkit allows one).
    auto& app = *static_cast<VTX_GUIApp*>(wxTheApp);
    VTX_GUIFrame* running = app.GetMainWindow();
    app.SetResourceFolders({empty});
    {
        wxLogNull quiet;
        EXPECT_FALSE(app.OnInit());
    }
    EXPECT_EQ(app.GetMainWindow(), running);
    EXPECT_EQ(wxTopLevelWindows.size(), windowsBefore);
    app.SetResourceFolders({VANTREL_GUI_DIR});
    ASSERT_TRUE(wxSetWorkingDirectory(previous));
    rmdir(empty.c_str());
}

TEST(StartUp, ArchiveFolderSearchedInOrder)
{
    const std::string empty = MakeTempFolder();
    const wxString previous = wxGetCwd();
    ASSERT_EQ(chdir(empty.c_str()), 0);
    auto& app = *static_cast<VTX_GUIApp*>(wxTheApp);
    EXPECT_EQ(VTX_GUIApp::DefaultResourceFolders().front(), wxString(empty));
    app.SetResourceFolders({empty, "/nonexistent"});
    EXPECT_FALSE(app.EnterResourceFolder());
    EXPECT_EQ(wxGetCwd(), wxString(empty));
    // Not in the working folder, but in a later one: that one becomes the
    // working folder.
    app.SetResourceFolders({empty, "/nonexistent", VANTREL_GUI_DIR});
    EXPECT_TRUE(app.EnterResourceFolder());
    EXPECT_TRUE(wxFileName(wxGetCwd()).SameAs(wxFileName(VANTREL_GUI_DIR)));
    app.SetResourceFolders({VANTREL_GUI_DIR});
    ASSERT_TRUE(wxSetWorkingDirectory(previous));
    rmdir(empty.c_str());
}

// Started from elsewhere (a desktop menu starts it in the home folder), the
// program moves to the archives' folder; its file dialogs still start where
// the user was, not in that read-only folder.
TEST(StartUp, FileDialogsStartWhereTheUserStartedTheProgram)
{
    const std::string empty = MakeTempFolder();
    const wxString previous = wxGetCwd();
    ASSERT_EQ(chdir(empty.c_str()), 0);
    auto& app = *static_cast<VTX_GUIApp*>(wxTheApp);
    app.SetResourceFolders({empty, VANTREL_GUI_DIR});
    ASSERT_TRUE(app.EnterResourceFolder());

    auto* frame = new VTX_GUIFrame(nullptr, wxID_ANY);
    wxString openFolder = "not shown";
    wxString saveFolder = "not shown";
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFileDialog(&openFolder));
    wxTEST_DIALOG(RunMenuCommand(frame, "idSaveAs"), ExpectFileDialog(&saveFolder));
    EXPECT_TRUE(wxFileName::DirName(openFolder).SameAs(wxFileName::DirName(empty))) << openFolder;
    EXPECT_TRUE(wxFileName::DirName(saveFolder).SameAs(wxFileName::DirName(empty))) << saveFolder;
    frame->Destroy();
    wxTheApp->ProcessIdle();

    VTX_GUIFrame::SetFileDialogFolder(wxEmptyString);
    app.SetResourceFolders({VANTREL_GUI_DIR});
    ASSERT_TRUE(wxSetWorkingDirectory(previous));
    // The folder stays: a file chooser that watched it would otherwise stop
    // the test run with a "folder could not be read" box of its own.
}

TEST(StartUp, SecondLayoutFailingStopsTheRest)
{
    const std::string folder = MakeTempFolder();
    // Valid first member, broken second one, valid rest.
    WriteZip(folder + "/resource.xrs", {{"ConnectionDialog.xrc", kEmptyLayout},
                                        {"FwUpdateDialog.xrc", "<resource><object"},
                                        {"VTX_GUIframe.xrc", kEmptyLayout},
                                        {"GearVoltagePanel.xrc", kEmptyLayout},
                                        {"GearRpmSpeedPanel.xrc", kEmptyLayout}});
    const wxString previous = wxGetCwd();
    ASSERT_EQ(chdir(folder.c_str()), 0);
    wxXmlResource resource;
    {
        wxLogNull quiet;
        EXPECT_FALSE(VTX_GUIApp::LoadLayouts(resource));
    }
    EXPECT_TRUE(resource.Unload(kLayoutFiles[0]));
    for (int later = 1; later < 5; ++later)
        EXPECT_FALSE(resource.Unload(kLayoutFiles[later])) << kLayoutFiles[later];
    ASSERT_TRUE(wxSetWorkingDirectory(previous));
    std::system(("rm -rf '" + folder + "'").c_str());
}

// ---------------------------------------------------------------------------
// Settings store

// The options follow the store through the user settings (tests/session),
// an absent key giving the flag's default: the first start is the case
// without any key. The program never writes the FFT key.
TEST(Settings, OptionsFollowTheStore)
{
    struct Case {
        std::optional<bool> tablet, confirm, fft;  // none: key absent
    };
    const Case cases[] = {{std::nullopt, std::nullopt, std::nullopt},
                          {false, false, false},
                          {true, true, true},
                          {false, true, std::nullopt}};
    for (const Case& c : cases) {
        {
            UserSettings settings;
            settings.Clear();
            for (const auto& [flag, value] : {std::pair{kTabletModeFlag, c.tablet},
                                              {kConfirmWritingFlag, c.confirm},
                                              {kShowFftFlag, c.fft}})
                if (value)
                    settings.Write(flag, *value);
        }
        FrameOnSettings built;
        const bool tablet = c.tablet.value_or(kTabletModeFlag.byDefault);
        SCOPED_TRACE(::testing::Message() << "tablet " << c.tablet.has_value() << tablet << " confirm "
                                          << c.confirm.has_value() << " fft " << c.fft.has_value());
        EXPECT_EQ(ToolBitmapWidth(built.frame), built.frame->FromDIP(tablet ? 32 : 16));
        EXPECT_EQ(MenuItem(built.frame, "idTabletMode")->IsChecked(), tablet);
        EXPECT_EQ(MenuItem(built.frame, "idConfirmWriting")->IsChecked(),
                  c.confirm.value_or(kConfirmWritingFlag.byDefault));
        EXPECT_EQ(HasFftPage(built.frame), c.fft.value_or(kShowFftFlag.byDefault));
        EXPECT_EQ(built.frame->IsMaximized(), kMaximizedFlag.byDefault);
    }
    UserSettings().Clear();
    {
        FrameOnSettings built;
    }
    EXPECT_FALSE(UserSettings().Has(kShowFftFlag.key));
    EXPECT_TRUE(UserSettings().Has(kTabletModeFlag.key));
    EXPECT_TRUE(UserSettings().Has(kConfirmWritingFlag.key));
}

// A placement read from the settings (whole, or none at all: tests/session)
// is applied when it fits on a display; at exit the window writes where it
// is, unless it is maximised.
TEST(Settings, PlacementIsRestoredWhenItFitsAndSavedUnlessMaximised)
{
    UserSettings().Clear();
    wxSize layoutSize;
    {
        FrameOnSettings built;
        layoutSize = built.frame->GetSize();
    }
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const wxRect inside(screen.x + 20, screen.y + 30, layoutSize.x + 10, layoutSize.y + 10);
    ASSERT_TRUE(screen.Contains(inside)) << "display too small for this test";
    // Reaching past the display's edge.
    const wxRect outside(screen.GetRight() - layoutSize.x / 2, screen.y + 10, layoutSize.x + 10,
                         layoutSize.y + 10);
    for (const wxRect& saved : {inside, outside}) {
        UserSettings().WritePlacement({saved.x, saved.y, saved.width, saved.height});
        FrameOnSettings built;
        EXPECT_EQ(built.frame->GetRect() == saved, saved == inside);
        if (saved == outside) {
            EXPECT_EQ(built.frame->GetSize(), layoutSize);
        }
    }

    UserSettings().Clear();
    {
        FrameOnSettings built;
        built.frame->SetSize(40, 50, built.frame->GetSize().x + 4, built.frame->GetSize().y + 6);
    }
    std::optional<WindowPlacement> placement = UserSettings().ReadPlacement();
    ASSERT_TRUE(placement);
    EXPECT_EQ(placement->left, 40);
    EXPECT_EQ(placement->top, 50);
    ASSERT_TRUE(UserSettings().Has(kMaximizedFlag.key));
    EXPECT_FALSE(UserSettings().Read(kMaximizedFlag));
    {
        // The suite's display runs a window manager, which maximises the
        // window once it is shown.
        FrameOnSettings built;
        built.frame->Show();
        built.frame->Maximize(true);
        const wxLongLong end = wxGetLocalTimeMillis() + 3000;
        while (!built.frame->IsMaximized() && wxGetLocalTimeMillis() < end) {
            Pump();
            wxMilliSleep(10);
        }
        ASSERT_TRUE(built.frame->IsMaximized());
        built.frame->Move(300, 300);
    }
    placement = UserSettings().ReadPlacement();
    EXPECT_TRUE(placement && placement->left == 40 && placement->top == 50);
    EXPECT_TRUE(UserSettings().Read(kMaximizedFlag));
}

// ---------------------------------------------------------------------------
// Toolbar, FFT page

TEST(ToolBar, SameSizeKeepsToolbarAndClicksRunOnce)
{
    VTX_GUIFrame* frame = MainWindow();
    const bool tablet = MenuItem(frame, "idTabletMode")->IsChecked();
    const wxSize current = tablet ? wxSize(32, 32) : wxSize(16, 16);
    wxToolBar* before = frame->GetToolBar();
    frame->RebuildToolBar(current);
    EXPECT_EQ(frame->GetToolBar(), before);

    frame->RebuildToolBar(wxSize(16, 16));
    frame->RebuildToolBar(wxSize(32, 32));
    frame->RebuildToolBar(wxSize(16, 16));
    frame->RebuildToolBar(current);
    // One click on Connect opens the dialog once: a second run would meet no
    // expectation and fail the test.
    wxCommandEvent click(wxEVT_TOOL, GetToolIds().connect);
    click.SetEventObject(frame->GetToolBar());
    wxTEST_DIALOG(frame->GetToolBar()->ProcessWindowEvent(click), wxExpectAny(wxID_CANCEL));
    Pump();
}

TEST(ToolBar, TabletModeCommandSwitchesTheIconSize)
{
    VTX_GUIFrame* frame = MainWindow();
    wxMenuItem* tablet = MenuItem(frame, "idTabletMode");
    const bool before = tablet->IsChecked();
    tablet->Check(false);
    RunMenuCommand(frame, "idTabletMode");
    EXPECT_EQ(ToolBitmapWidth(frame), frame->FromDIP(16));
    tablet->Check(true);
    RunMenuCommand(frame, "idTabletMode");
    EXPECT_EQ(ToolBitmapWidth(frame), frame->FromDIP(32));
    // The rebuilt toolbar keeps the enabling of the connection.
    EXPECT_FALSE(frame->GetToolBar()->GetToolEnabled(GetToolIds().read));
    tablet->Check(before);
    RunMenuCommand(frame, "idTabletMode");
}

// The counting rule, with double clicks sent to the label and to its static
// box (where the toolkit may deliver a click on the label); the pointer says
// where the click was. The real clicks are in RealInputTests.cpp.
TEST(FftPage, TenthDoubleClickOnTheLabelRevealsIt)
{
    UserSettings().Clear();
    FrameOnSettings built;
    auto* label = Ctrl<wxWindow>(built.frame, "ID_STATICTEXT31");
    ASSERT_NE(label, nullptr);
    wxWindow* box = label->GetParent();
    ASSERT_TRUE(wxDynamicCast(box, wxStaticBox));
    auto* notebook = Ctrl<wxNotebook>(built.frame, "ID_NOTEBOOK1");
    wxWindow* page = box;
    while (page->GetParent() != notebook)
        page = page->GetParent();
    notebook->SetSelection(notebook->FindPage(page));
    built.frame->Show();
    Pump();
    const size_t pages = notebook->GetPageCount();
    const int selected = notebook->GetSelection();
    // The pointer is where the handler will ask for it before anything is
    // clicked, also when a late layout of the page moves the label.
    auto pointAt = [&](const wxPoint& inLabel) {
        wxPoint warpedTo = wxDefaultPosition;
        ASSERT_TRUE(RunEventsUntil(
            [&] {
                const wxPoint target = label->ClientToScreen(inLabel);
                if (target != warpedTo) {
                    const wxPoint inFrame = built.frame->ScreenToClient(target);
                    built.frame->WarpPointer(inFrame.x, inFrame.y);
                    warpedTo = target;
                }
                return wxGetMousePosition() == target;
            },
            2000));
    };
    auto doubleClick = [](wxWindow* window) {
        wxMouseEvent event(wxEVT_LEFT_DCLICK);
        event.SetEventObject(window);
        window->ProcessWindowEvent(event);
    };
    pointAt(wxPoint(label->GetSize().x / 2, label->GetSize().y / 2));
    for (int click = 1; click <= 9; ++click)
        doubleClick(label);
    EXPECT_EQ(notebook->GetPageCount(), pages);
    // Beside the label a click that reaches the label does not count.
    pointAt(wxPoint(label->GetSize().x / 2, label->GetSize().y + 8));
    doubleClick(label);
    EXPECT_EQ(notebook->GetPageCount(), pages);
    pointAt(wxPoint(label->GetSize().x / 2, label->GetSize().y / 2));
    doubleClick(box);
    ASSERT_EQ(notebook->GetPageCount(), pages + 1);
    EXPECT_EQ(notebook->GetPageText(pages), "FFT");
    EXPECT_EQ(notebook->GetSelection(), selected);
    EXPECT_FALSE(UserSettings().Has(kShowFftFlag.key));
    // Once per run: the count goes on past ten.
    notebook->RemovePage(pages);
    for (int click = 11; click <= 20; ++click)
        doubleClick(label);
    EXPECT_EQ(notebook->GetPageCount(), pages);
}

TEST(About, TextNamesVersionToolkitAndUsb)
{
    EXPECT_EQ(VTX_GUIFrame::AboutText(), wxString("Vantrel v26.08.01\n\n") +
                                             wxGetLibraryVersionInfo().GetVersionString() +
                                             "-GTK-Unicode\nlibusb 1.0\n");
    EXPECT_EQ(MainWindow()->GetTitle(), "Norvane Labs - Vantrel v26.08.01");
}
