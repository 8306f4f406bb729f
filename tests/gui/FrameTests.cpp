// The main window without a unit: start-up, the settings store, the toolbar,
// the enabling table on the simulated connection, the FFT page, and the
// editors (grids, clipboard, validation, record round trips).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/wfstream.h>
#include <wx/zipstrm.h>

#include "GuiTestSupport.h"
#include "config/DeviceConfiguration.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/widgets/MyStatusBar.h"
#include "gui/widgets/wxStateLed.h"

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

TEST(StartUp, NoDisplayGivesAPlainMessage)
{
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " VANTREL_GUI_DIR "/VantrelStudio 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pclose(pipe);
    EXPECT_NE(status, 0);
    EXPECT_NE(output.find("VantrelStudio needs a graphical display"), std::string::npos) << output;
}

// ---------------------------------------------------------------------------
// Settings store

TEST(Settings, FirstStartUsesDefaults)
{
    UserSettings().Clear();
    FrameOnSettings built;
    EXPECT_EQ(ToolBitmapWidth(built.frame), built.frame->FromDIP(32));
    EXPECT_TRUE(MenuItem(built.frame, "idTabletMode")->IsChecked());
    EXPECT_TRUE(MenuItem(built.frame, "idConfirmWriting")->IsChecked());
    EXPECT_FALSE(HasFftPage(built.frame));
    EXPECT_FALSE(built.frame->IsMaximized());
}

TEST(Settings, OptionsFollowTheStore)
{
    struct Case {
        const char* tablet;  // nullptr: key absent
        const char* confirm;
        const char* fft;
        int toolWidth;
        bool tabletChecked, confirmChecked, fftShown;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 32, true, true, false},
        {"0", "0", "0", 16, false, false, false},
        {"1", "1", "1", 32, true, true, true},
        {"0", "1", nullptr, 16, false, true, false},
    };
    for (const Case& c : cases) {
        {
            UserSettings settings;
            settings.Clear();
            if (c.tablet)
                settings.Write(kTabletModeFlag, wxString(c.tablet) == "1");
            if (c.confirm)
                settings.Write(kConfirmWritingFlag, wxString(c.confirm) == "1");
            if (c.fft)
                settings.Write(kShowFftFlag, wxString(c.fft) == "1");
        }
        FrameOnSettings built;
        SCOPED_TRACE(::testing::Message()
                     << "tablet " << (c.tablet ? c.tablet : "-") << " confirm "
                     << (c.confirm ? c.confirm : "-") << " fft " << (c.fft ? c.fft : "-"));
        EXPECT_EQ(ToolBitmapWidth(built.frame), built.frame->FromDIP(c.toolWidth));
        EXPECT_EQ(MenuItem(built.frame, "idTabletMode")->IsChecked(), c.tabletChecked);
        EXPECT_EQ(MenuItem(built.frame, "idConfirmWriting")->IsChecked(), c.confirmChecked);
        EXPECT_EQ(HasFftPage(built.frame), c.fftShown);
    }
    // The FFT key is never written by the program.
    UserSettings().Clear();
    {
        FrameOnSettings built;
    }
    EXPECT_FALSE(UserSettings().Has(kShowFftFlag.key));
    EXPECT_TRUE(UserSettings().Has(kTabletModeFlag.key));
    EXPECT_TRUE(UserSettings().Has(kConfirmWritingFlag.key));
}

TEST(Settings, GeometryOnlyWhenCompleteAndOnOneDisplay)
{
    UserSettings().Clear();
    wxSize layoutSize;
    wxPoint layoutPosition;
    {
        FrameOnSettings built;
        layoutSize = built.frame->GetSize();
        layoutPosition = built.frame->GetPosition();
    }
    const wxRect screen = wxDisplay(0u).GetGeometry();
    const wxRect inside(screen.x + 20, screen.y + 30, layoutSize.x + 10, layoutSize.y + 10);
    ASSERT_TRUE(screen.Contains(inside)) << "display too small for this test";

    auto writeGeometry = [](const wxRect& rect, bool withWidth) {
        UserSettings settings;
        settings.Clear();
        settings.WritePlacement({rect.x, rect.y, rect.width, rect.height});
        if (!withWidth)
            settings.Forget("Width");
    };

    writeGeometry(inside, true);
    {
        FrameOnSettings built;
        EXPECT_EQ(built.frame->GetRect(), inside);
    }
    // "Left" and "Top" without "Width": nothing of it is applied.
    writeGeometry(inside, false);
    {
        FrameOnSettings built;
        EXPECT_EQ(built.frame->GetSize(), layoutSize);
        EXPECT_NE(built.frame->GetPosition(), inside.GetPosition());
    }
    // Reaching past the display's edge.
    const wxRect outside(screen.GetRight() - layoutSize.x / 2, screen.y + 10, layoutSize.x + 10,
                         layoutSize.y + 10);
    writeGeometry(outside, true);
    {
        FrameOnSettings built;
        EXPECT_NE(built.frame->GetPosition(), outside.GetPosition());
        EXPECT_EQ(built.frame->GetSize(), layoutSize);
    }
}

TEST(Settings, ExitWritesGeometryUnlessMaximised)
{
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
// Toolbar, enabling, FFT page

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

TEST(Enabling, SimulatedConnection)
{
    VTX_GUIFrame* frame = MainWindow();
    ASSERT_GT(frame->GetDevice()->GetFeature(5), 0);
    frame->RefreshControls();
    for (const char* name :
         {"idReadConfiguration", "idWriteConfiguration", "idLockConfiguration", "idFirmwareUpdate"})
        EXPECT_FALSE(MenuItem(frame, name)->IsEnabled()) << name;
    EXPECT_TRUE(MenuItem(frame, "idNew")->IsEnabled());
    EXPECT_FALSE(frame->GetToolBar()->GetToolEnabled(GetToolIds().read));
    EXPECT_FALSE(frame->GetToolBar()->GetToolEnabled(GetToolIds().write));
    EXPECT_TRUE(frame->GetToolBar()->GetToolEnabled(GetToolIds().newConfig));
    auto* statusBar = dynamic_cast<MyStatusBar*>(frame->GetStatusBar());
    ASSERT_NE(statusBar, nullptr);
    EXPECT_EQ(statusBar->GetLed()->GetState(), 0);
    EXPECT_TRUE(Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1")->IsEnabled());
    EXPECT_TRUE(Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION")->IsEnabled());
    // The simulated unit has no warm-up.
    EXPECT_FALSE(Ctrl<wxWindow>(frame, "ID_CHECKBOX1")->IsEnabled());
}

TEST(Enabling, PolarityChoiceFollowsItsFunction)
{
    VTX_GUIFrame* frame = MainWindow();
    auto* function = Ctrl<wxChoice>(frame, "ID_CHOICE11");
    auto* polarity = Ctrl<wxChoice>(frame, "ID_CHOICE12");
    const int before = function->GetSelection();
    function->SetSelection(0);
    frame->RefreshControls();
    EXPECT_FALSE(polarity->IsEnabled());
    EXPECT_FALSE(Ctrl<wxWindow>(frame, "ID_STATICTEXT45")->IsEnabled());
    function->SetSelection(3);
    frame->RefreshControls();
    EXPECT_TRUE(polarity->IsEnabled());
    function->SetSelection(before);
    frame->RefreshControls();
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
    auto pointAt = [&](const wxPoint& inLabel) {
        const wxPoint inFrame = built.frame->ScreenToClient(label->ClientToScreen(inLabel));
        built.frame->WarpPointer(inFrame.x, inFrame.y);
        Pump();
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
