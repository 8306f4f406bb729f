#include "gui/VTX_GUIApp.h"

#include <unistd.h>

#include <clocale>
#include <cstdlib>

#include <wx/evtloop.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/uilocale.h>
#include <wx/xrc/xmlres.h>

#include "gui/VTX_GUIMain.h"
#include "gui/widgets/ArtProvider.h"
#include "gui/widgets/ChoiceXmlHandler.h"
#include "gui/widgets/wxStateLedXmlHandler.h"
#include "session/ProgramLanguage.h"
#include "session/UserSettings.h"

const char* const kLayoutFiles[5] = {
    "resource.xrs#zip:ConnectionDialog.xrc",  "resource.xrs#zip:FwUpdateDialog.xrc",
    "resource.xrs#zip:VTX_GUIframe.xrc",      "resource.xrs#zip:GearVoltagePanel.xrc",
    "resource.xrs#zip:GearRpmSpeedPanel.xrc",
};

std::vector<wxString> VTX_GUIApp::DefaultResourceFolders()
{
    std::vector<wxString> folders{wxGetCwd()};
    // The folder of the running program itself, whatever argv[0] said.
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length > 0) {
        buffer[length] = '\0';
        folders.push_back(wxFileName(wxString::FromUTF8(buffer)).GetPath());
    } else {
        folders.push_back(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
    }
#ifdef VANTREL_DATADIR
    folders.emplace_back(VANTREL_DATADIR);
#endif
    return folders;
}

bool VTX_GUIApp::EnterResourceFolder()
{
    for (const wxString& folder : resourceFolders) {
        if (folder.empty() || !wxFileName::FileExists(wxFileName(folder, "resource.xrs").GetFullPath()))
            continue;
        if (wxFileName(folder).SameAs(wxFileName(wxGetCwd())))
            return true;
        // The file dialogs keep starting where the user started the
        // program, not in the (read-only) folder of the archives.
        VTX_GUIFrame::SetFileDialogFolder(wxGetCwd());
        return wxSetWorkingDirectory(folder);
    }
    return false;
}

bool VTX_GUIApp::LoadLayouts(wxXmlResource& resource)
{
    for (const char* layout : kLayoutFiles) {
        if (!resource.Load(layout))
            return false;
    }
    return true;
}

bool VTX_GUIApp::Initialize(int& argc, wxChar** argv)
{
    // GTK reads the environment when it starts (gettext reads LANGUAGE at
    // each text, but the locale is set at start); the program's own texts
    // follow the choice in OnInit.
    const std::string code = UserSettings().ReadLanguage();
    for (const auto& [name, value] :
         ToolkitLanguageEnvironment(code, std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                    std::getenv("LANG"), LocaleInstalled(""), LocaleInstalled))
        setenv(name.c_str(), value.c_str(), 1);
    return wxApp::Initialize(argc, argv);
}

bool VTX_GUIApp::OnInit()
{
    // Off the main thread this enables only that thread's logging.
    wxLog::EnableLogging(true);

    SetVendorName("NorvaneLabs");
    SetAppName("Vantrel");
    SetAppDisplayName(GetAppName());

    // The user's locale: the map grids' rpm labels carry its thousands
    // separator ("2.000" in German). A locale the system lacks leaves the C
    // one, silently: a warning box at start-up would help nobody.
    {
        wxLogNull quiet;
        wxUILocale::UseDefault();
    }
    // The C library's number formats stay C whatever the user's locale: the
    // live values have fixed formats ("4.3 V", never "4,3 V"). The labels
    // keep the separator: wxNumberFormatter asks the wxUILocale object, which
    // holds its own copy of the user's locale, not the process.
    std::setlocale(LC_NUMERIC, "C");
    // The texts: the language chosen in Options > Language, else the
    // system's. Before the layouts load, which translate their labels.
    UseProgramLanguage(UserSettings().ReadLanguage(), CatalogueFolders(resourceFolders));

    wxArtProvider::Push(new ArtProvider);

    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    wxInitAllImageHandlers();

    wxXmlResource::Get()->InitAllHandlers();
    // Before the toolkit's own choice handler, which measures every choice.
    wxXmlResource::Get()->InsertHandler(new ChoiceXmlHandler);
    wxXmlResource::Get()->AddHandler(new wxStateLedXmlHandler);
    // With no folder holding the archives the loads below fail like a broken
    // archive would, and the toolkit reports the file it could not open.
    EnterResourceFolder();
    if (!LoadLayouts(*wxXmlResource::Get()))
        return false;

    mainWindow = new VTX_GUIFrame(nullptr, wxID_ANY);
    if (!mainWindow->IsLayoutComplete()) {
        // The missing objects have been logged by the window.
        delete mainWindow;
        mainWindow = nullptr;
        return false;
    }
    mainWindow->Show(true);
    SetTopWindow(mainWindow);
    return true;
}

void VTX_GUIApp::OnEventLoopEnter(wxEventLoopBase* loop)
{
    wxApp::OnEventLoopEnter(loop);
    // Once the main loop runs, so that the dialogs of a connect (firmware
    // offer, messages) open over a shown window.
    if (loop && loop->IsMain() && !launched)
        CallAfter(&VTX_GUIApp::OnLaunch);
}

void VTX_GUIApp::OnLaunch()
{
    if (launched)
        return;
    launched = true;
    if (mainWindow)
        mainWindow->AutoConnect();
}
