// Test entry of the widget suite: a bare application object under the X server
// of xvfb-run, with the image, archive and XRC handlers the program registers,
// run in the folder that holds the built resource.xrs and images.zip.
#include <gtest/gtest.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/xrc/xmlres.h>

namespace {

class WidgetTestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion in " << func << ": " << cond << " " << msg;
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (chdir(VANTREL_GUI_DIR) != 0) {
        return 2;
    }
    wxApp::SetInstance(new WidgetTestApp);
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    if (!wxEntryStart(wxArgc, wxArgv) || !wxTheApp->CallOnInit()) {
        return 2;
    }
    wxSetAssertHandler(FailOnAssert);
    // Log records go to stderr: a message box would wait for a click forever.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxInitAllImageHandlers();
    wxFileSystem::AddHandler(new wxArchiveFSHandler);

    const int result = RUN_ALL_TESTS();

    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
