#include "gui/NotebookPages.h"

#include <wx/frame.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

namespace {

bool onDemand = true;

// The room that the largest page needs, in device-independent pixels (the
// widest and the tallest page, measured with every page built; a test keeps
// it right). Each page not built yet asks for it, so that the first window
// is as large as the whole notebook needs: with the first page alone it
// would open narrower, with scroll arrows on the tabs.
const wxSize kRoomOfTheLargestPage(961, 606);

// The frame's layout with the page contents taken out, as loaded (once for
// each frame layout the resources hold).
struct SplitLayout {
    const wxXmlNode* source = nullptr;
    wxString frameName;
    struct PageContents {
        wxString page;
        wxString contents;
        wxString contentsClass;
        std::set<wxString> holds;
    };
    std::vector<PageContents> pages;
};

SplitLayout& Split()
{
    static SplitLayout split;
    return split;
}

wxXmlNode* FindObject(wxXmlNode* node, const wxString& name)
{
    for (wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() == "object" && child->GetAttribute("name") == name)
            return child;
        if (wxXmlNode* found = FindObject(child, name))
            return found;
    }
    return nullptr;
}

wxXmlNode* FirstObject(wxXmlNode* node)
{
    for (wxXmlNode* child = node->GetChildren(); child; child = child->GetNext())
        if (child->GetType() == wxXML_ELEMENT_NODE && child->GetName() == "object")
            return child;
    return nullptr;
}

bool IsSelectedPage(const wxXmlNode* page)
{
    for (wxXmlNode* child = page->GetChildren(); child; child = child->GetNext())
        if (child->GetType() == wxXML_ELEMENT_NODE && child->GetName() == "selected")
            return child->GetNodeContent().Trim().Trim(false) == "1";
    return false;
}

void CollectNames(const wxXmlNode* node, std::set<wxString>& names)
{
    for (wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() == "object" && child->HasAttribute("name"))
            names.insert(child->GetAttribute("name"));
        CollectNames(child, names);
    }
}

// Loads a copy of the frame whose notebook pages, but the selected one, are
// empty; their contents become objects of their own in the same document.
void SplitFrameLayout(const wxXmlNode* source)
{
    static int generation = 0;
    ++generation;
    SplitLayout split;
    split.source = source;
    split.frameName = wxString::Format("VTX_GUIFrame_PAGES_ON_DEMAND_%d", generation);

    auto* root = new wxXmlNode(wxXML_ELEMENT_NODE, "resource");
    if (source->GetParent() && source->GetParent()->HasAttribute("version"))
        root->AddAttribute("version", source->GetParent()->GetAttribute("version"));
    auto* frame = new wxXmlNode(*source);
    frame->DeleteAttribute("name");
    frame->AddAttribute("name", split.frameName);
    root->AddChild(frame);

    wxXmlNode* notebook = FindObject(frame, "ID_NOTEBOOK1");
    bool keptOne = false;
    for (wxXmlNode* page = notebook ? notebook->GetChildren() : nullptr; page; page = page->GetNext()) {
        if (page->GetType() != wxXML_ELEMENT_NODE || page->GetAttribute("class") != "notebookpage")
            continue;
        wxXmlNode* panel = FirstObject(page);
        if (!panel)
            continue;
        if (IsSelectedPage(page) && !keptOne) {
            keptOne = true;
            continue;
        }
        wxXmlNode* contents = FirstObject(panel);
        if (!contents)
            continue;
        // A page of more than one top object stays as it is.
        bool single = true;
        for (wxXmlNode* other = contents->GetNext(); other; other = other->GetNext())
            if (other->GetType() == wxXML_ELEMENT_NODE && other->GetName() == "object")
                single = false;
        if (!single)
            continue;
        SplitLayout::PageContents taken;
        taken.page = panel->GetAttribute("name");
        taken.contents = wxString::Format("PAGE_CONTENTS_%d_%s", generation, taken.page);
        taken.contentsClass = contents->GetAttribute("class");
        CollectNames(contents, taken.holds);
        if (!contents->GetAttribute("name").empty())
            taken.holds.insert(contents->GetAttribute("name"));
        panel->RemoveChild(contents);
        contents->DeleteAttribute("name");
        contents->AddAttribute("name", taken.contents);
        root->AddChild(contents);
        split.pages.push_back(std::move(taken));
    }

    auto* document = new wxXmlDocument;
    document->SetRoot(root);
    wxXmlResource::Get()->LoadDocument(document, wxString::Format("notebook-pages-%d", generation));
    Split() = std::move(split);
}

}  // namespace

void NotebookPages::SetBuildOnDemand(bool demand)
{
    onDemand = demand;
}

bool NotebookPages::BuildsOnDemand()
{
    return onDemand;
}

bool NotebookPages::LoadFrame(wxFrame* target, wxWindow* parent)
{
    frame = target;
    wxXmlResource* resources = wxXmlResource::Get();
    const wxXmlNode* source = resources->GetResourceNode("VTX_GUIFrame");
    if (!source)
        return resources->LoadObject(target, parent, "VTX_GUIFrame", "wxFrame");
    if (Split().source != source)
        SplitFrameLayout(source);
    if (!resources->LoadObject(target, parent, Split().frameName, "wxFrame"))
        return false;
    // The layout names the frame; so does the window.
    target->SetName("VTX_GUIFrame");
    for (const SplitLayout::PageContents& taken : Split().pages) {
        pages.push_back({taken.page, taken.contents, taken.contentsClass, taken.holds, false});
        if (wxWindow* window = target->FindWindow(XRCID(taken.page)))
            window->SetMinSize(window->FromDIP(kRoomOfTheLargestPage));
    }
    if (!onDemand)
        BuildAllPages();
    return true;
}

NotebookPages::~NotebookPages()
{
    if (notebook) {
        notebook->Unbind(wxEVT_NOTEBOOK_PAGE_CHANGING, &NotebookPages::OnPageChange, this);
        notebook->Unbind(wxEVT_NOTEBOOK_PAGE_CHANGED, &NotebookPages::OnPageChange, this);
    }
}

void NotebookPages::Watch(wxNotebook* book, std::function<void()> built)
{
    notebook = book;
    onBuilt = std::move(built);
    notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, &NotebookPages::OnPageChange, this);
    notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, &NotebookPages::OnPageChange, this);
}

void NotebookPages::OnPageChange(wxBookCtrlEvent& event)
{
    event.Skip();
    if (event.GetEventObject() != notebook || !notebook)
        return;
    const int selection = event.GetSelection();
    if (selection >= 0 && selection < static_cast<int>(notebook->GetPageCount()))
        BuildPage(notebook->GetPage(static_cast<size_t>(selection)));
}

bool NotebookPages::Awaits(const wxString& name) const
{
    for (const Page& page : pages)
        if (!page.built && page.holds.contains(name))
            return true;
    return false;
}

void NotebookPages::BuildPageHolding(const wxString& name)
{
    for (Page& page : pages)
        if (!page.built && page.holds.contains(name))
            Build(page);
}

void NotebookPages::BuildPage(wxWindow* page)
{
    for (Page& entry : pages)
        if (!entry.built && page && page->GetName() == entry.name)
            Build(entry);
}

void NotebookPages::BuildAllPages()
{
    for (Page& page : pages)
        if (!page.built)
            Build(page);
}

std::vector<wxString> NotebookPages::UnbuiltPages() const
{
    std::vector<wxString> names;
    for (const Page& page : pages)
        if (!page.built)
            names.push_back(page.name);
    return names;
}

void NotebookPages::Build(Page& page)
{
    if (building || !frame)
        return;
    wxWindow* window = frame->FindWindow(XRCID(page.name));
    if (!window)
        return;
    building = true;
    page.built = true;
    // The contents fit the page to themselves; the notebook gave it its size.
    const wxSize size = window->GetSize();
    window->SetMinSize(wxDefaultSize);  // its contents say what it needs now
    wxXmlResource::Get()->LoadObject(window, page.contents, page.contentsClass);
    window->SetSize(size);
    window->Layout();
    building = false;
    if (onBuilt)
        onBuilt();
    // What the window added to the page's sizers when it was built (the map
    // tools' row and the Curves switch under the maps, the maps' legends, the
    // live chart) takes its place now, not at the next resize, and counts
    // when the window grows to fit the page.
    window->Layout();
    GrowToFit();
}

void NotebookPages::GrowToFit()
{
    // The window grows when the new page needs more room than it has.
    wxSizer* sizer = frame->GetSizer();
    if (!sizer)
        return;
    const wxSize fitting = sizer->ComputeFittingWindowSize(frame);
    frame->SetMinSize(fitting);
    wxSize grown = frame->GetSize();
    grown.IncTo(fitting);
    if (grown != frame->GetSize() && !frame->IsMaximized())
        frame->SetSize(grown);
}
