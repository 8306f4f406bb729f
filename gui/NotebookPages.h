// The pages of the main window's notebook, built when they are first shown.
// Building some 400 controls that the user does not see yet would cost most
// of the start-up, so the frame is loaded with the pages empty (except the
// one that is selected at start) and each page gets its contents when it is
// selected, or when a command needs a control on it. The editor model and
// the live view hold what an unbuilt page would show.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <wx/string.h>

class wxBookCtrlEvent;
class wxFrame;
class wxNotebook;
class wxWindow;

class NotebookPages {
public:
    // Every page built with the frame (the test suites); on demand otherwise.
    static void SetBuildOnDemand(bool demand);
    static bool BuildsOnDemand();

    NotebookPages() = default;
    ~NotebookPages();
    NotebookPages(const NotebookPages&) = delete;
    NotebookPages& operator=(const NotebookPages&) = delete;

    // Loads the frame "VTX_GUIFrame" of the loaded layouts into `frame`, with
    // its notebook pages empty when pages are built on demand. False when the
    // layout has no such frame.
    bool LoadFrame(wxFrame* target, wxWindow* parent);
    // Builds the pages when they are selected; `built` runs after each.
    void Watch(wxNotebook* notebook, std::function<void()> built);

    // True when `name` is that of an object on a page that is not built yet.
    bool Awaits(const wxString& name) const;
    // Builds the page holding `name` (nothing when it is built or unknown).
    void BuildPageHolding(const wxString& name);
    // Builds the page `page` (a page window of the notebook) if it is empty.
    void BuildPage(wxWindow* page);
    void BuildAllPages();
    // The names of the pages not built yet.
    std::vector<wxString> UnbuiltPages() const;

private:
    struct Page {
        wxString name;             // the page panel's own name (ID_PANEL2 ...)
        wxString contents;         // the layout object of its contents
        wxString contentsClass;    // and its class
        std::set<wxString> holds;  // the names of the objects on it
        bool built = false;
    };
    void OnPageChange(wxBookCtrlEvent& event);
    void Build(Page& page);
    // Grows the frame to what its pages need now.
    void GrowToFit();

    wxFrame* frame = nullptr;
    wxNotebook* notebook = nullptr;
    std::vector<Page> pages;
    std::function<void()> onBuilt;
    bool building = false;
};
