#include "AppRun.h"

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/notebook.h>
#include <wx/timer.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIApp.h"
#include "gui/VTX_GUIMain.h"
#include "session/UserSettings.h"
#include "usb/UsbConnection.h"

namespace {

VirtualBus* appBus = nullptr;

class BareApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// Starts the toolkit with `app`; false when it could not start.
bool StartToolkit(wxApp* app, const char* argv0, const AppRunOptions& options)
{
    wxApp::SetInstance(app);
    int argc = 1;
    char* argv[] = {const_cast<char*>(argv0), nullptr};
    if (!wxEntryStart(argc, argv))
        return false;
    if (options.assertHandler)
        wxSetAssertHandler(options.assertHandler);
    // Log records go to stderr: a message box would wait for a click forever.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::SetLogLevel(options.logLevel);
    if (options.settings) {
        UserSettings settings;
        options.settings(settings);
    }
    return true;
}

int RunProgram(const char* argv0, const AppRunOptions& options, const std::function<int()>& run)
{
    std::unique_ptr<VirtualBus> ownBus;
    if (VirtualBus::InMockEnvironment()) {
        ownBus = std::make_unique<VirtualBus>();  // before the USB library starts
    } else if (options.requireBus) {
        std::fputs(
            "Run under umockdev-wrapper (ctest does) and a display: the main window enumerates USB "
            "devices and must see the virtual bus only.\n",
            stderr);
        return 2;
    }
    appBus = ownBus.get();
    auto usb = std::make_unique<UsbConnection>();
    auto* app = new VTX_GUIApp;
    if (!StartToolkit(app, argv0, options))
        return 2;
    app->SetResourceFolders({options.resourceFolder});
    if (!app->CallOnInit()) {
        std::fprintf(stderr, "the application did not start (resource.xrs in %s?)\n", options.resourceFolder);
        return 3;
    }
    // Errors now go to stderr too (OnInit may have replaced nothing, but be sure).
    delete wxLog::SetActiveTarget(new wxLogStderr);
    if (options.launchMilliseconds > 0)
        RunMainLoopFor(options.launchMilliseconds);
    const int result = run();
    if (options.launchMilliseconds > 0)
        RunMainLoopFor(options.launchMilliseconds);
    delete app->GetMainWindow();
    app->OnExit();
    wxEntryCleanup();
    appBus = nullptr;
    return result;
}

int RunBare(const char* argv0, const AppRunOptions& options, const std::function<int()>& run)
{
    if (!StartToolkit(new BareApp, argv0, options) || !wxTheApp->CallOnInit())
        return 2;
    wxInitAllImageHandlers();
    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    const int result = run();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}

}  // namespace

VirtualBus* AppBus()
{
    return appBus;
}

VTX_GUIFrame* MainWindow()
{
    auto* app = dynamic_cast<VTX_GUIApp*>(wxTheApp);
    return app ? app->GetMainWindow() : nullptr;
}

AppRunOptions BenchmarkOptions(const char* resourceFolder)
{
    AppRunOptions options;
    options.resourceFolder = resourceFolder;
    options.keepFolder = true;
    options.homePrefix = "vantrel-bench";
    options.launchMilliseconds = 300;
    return options;
}

int RunApp(const char* argv0, const AppRunOptions& options, const std::function<int()>& run)
{
    // Never the user's own settings.
    std::string home = std::string("/tmp/") + options.homePrefix + "-XXXXXX";
    if (!mkdtemp(home.data()))
        return 2;
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    if (options.dataHome)
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);

    int result = 2;
    if (options.keepFolder || chdir(options.resourceFolder) == 0) {
        result =
            options.kind == AppKind::Bare ? RunBare(argv0, options, run) : RunProgram(argv0, options, run);
    }
    if (std::system(("rm -rf '" + home + "'").c_str()) != 0 && result == 0)
        return 4;
    return result;
}

void Pump()
{
    for (int round = 0; round < 3; ++round) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
    }
}

void RunEventsFor(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxMilliSleep(2);
    } while (std::chrono::steady_clock::now() < end);
}

double ThreadCpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

void RunMainLoopFor(int milliseconds)
{
    wxGUIEventLoop loop;
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { loop.Exit(); });
    end.StartOnce(milliseconds);
    loop.Run();
}

bool RunEventsUntil(const std::function<bool()>& done, int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        RunEventsFor(0);
    }
    return true;
}

void ShowPage(VTX_GUIFrame* frame, const char* page)
{
    auto* notebook = dynamic_cast<wxNotebook*>(frame->FindWindow(XRCID("ID_NOTEBOOK1")));
    wxWindow* window = frame->FindWindow(XRCID(page));
    for (size_t i = 0; notebook != nullptr && i < notebook->GetPageCount(); ++i)
        if (notebook->GetPage(i) == window) {
            notebook->SetSelection(i);
            notebook->SetFocus();  // where a click on the tab leaves it
        }
}
