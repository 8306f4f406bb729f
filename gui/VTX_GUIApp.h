// The application object: registers the resources, loads the layouts, creates
// the main window and connects the single attached unit once the event loop
// runs.
#pragma once

#include <vector>

#include <wx/app.h>
#include <wx/string.h>

class VTX_GUIFrame;
class wxXmlResource;

class VTX_GUIApp : public wxApp {
public:
    // Before the toolkit starts: the environment for its own texts in the
    // language chosen in Options > Language (ToolkitLanguageEnvironment).
    bool Initialize(int& argc, wxChar** argv) override;
    bool OnInit() override;
    void OnEventLoopEnter(wxEventLoopBase* loop) override;

    // The launch step: AutoConnect of the main window, once.
    void OnLaunch();

    // Folders searched for "resource.xrs", first match wins: the working
    // directory, the folder of the executable, the installed data folder.
    // Tests replace the list before OnInit.
    void SetResourceFolders(const std::vector<wxString>& folders) { resourceFolders = folders; }
    static std::vector<wxString> DefaultResourceFolders();

    // Makes the first folder that holds "resource.xrs" the working folder,
    // because the layouts and the art provider name the archives relative to
    // it. False (working folder unchanged) when no folder has it.
    bool EnterResourceFolder();

    // Loads the five layouts in order; the first failure stops the sequence.
    static bool LoadLayouts(wxXmlResource& resource);

    VTX_GUIFrame* GetMainWindow() const { return mainWindow; }

private:
    VTX_GUIFrame* mainWindow = nullptr;
    std::vector<wxString> resourceFolders = DefaultResourceFolders();
    bool launched = false;
};

// The five layouts, in loading order.
extern const char* const kLayoutFiles[5];

wxDECLARE_APP(VTX_GUIApp);
