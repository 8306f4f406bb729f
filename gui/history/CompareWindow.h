// The Compare window: the editors against the connected unit (one
// configuration read, on the user's command), a settings file or a kept
// entry. Lists every differing field with both values, marks the differing
// cells in both map grids of the main window while it is open, and takes the
// other value of one, the selected or all fields into the editors.
#pragma once

#include <optional>
#include <vector>

#include <wx/dialog.h>

#include "config/DeviceConfiguration.h"
#include "history/HistoryStore.h"
#include "history/RecordDiff.h"

class Connection;
class EditorContent;
class EditorSession;
class NotebookPages;
class wxChoice;
class wxListCtrl;
class wxStaticText;

class CompareWindow : public wxDialog {
public:
    // Take puts values into `content`; the map grids (on `pages`) show the
    // differing cells.
    CompareWindow(wxWindow& parent, EditorContent& content, NotebookPages& pages, Connection& connection);
    ~CompareWindow() override;

    // Each sets the other side and lists the differences; false (with the
    // reason in the window) when there is nothing to compare with.
    bool CompareWithUnit();
    bool CompareWithFile(const wxString& path);
    bool CompareWithEntry(size_t index);  // index into Entries()
    void CompareWith(const DeviceConfiguration& config, const wxString& name);

    // Takes the other values of the selected rows, or of every row.
    void TakeSelected();
    void TakeAll();

    wxChoice* GetSource() const { return sourceChoice; }
    wxListCtrl* GetList() const { return list; }
    wxString GetMessage() const;
    const std::vector<FieldDifference>& Differences() const { return differences; }
    const std::vector<HistoryEntry>& Entries() const { return entries; }

private:
    void OnSource(wxCommandEvent& event);
    void Refresh();
    void Take(const std::vector<FieldDifference>& chosen, const wxString& what);
    void MarkGrids();
    void ClearGrids();

    wxWindow& parent;
    EditorContent& content;
    EditorSession& session;
    NotebookPages& pages;
    Connection& connection;
    wxChoice* sourceChoice = nullptr;
    wxStaticText* message = nullptr;
    wxListCtrl* list = nullptr;
    std::vector<HistoryEntry> entries;
    std::optional<DeviceConfiguration> other;
    wxString otherName;
    std::vector<FieldDifference> differences;
};
