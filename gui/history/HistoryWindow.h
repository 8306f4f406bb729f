// The History window: the configurations kept for the connected unit (or for
// every unit), newest first, with time, event, source and what changed against
// the entry before; Restore puts one into the editors, Open folder shows the
// files.
#pragma once

#include <vector>

#include <wx/dialog.h>

#include "history/HistoryStore.h"

class EditorContent;
class EditorSession;
class wxWindow;
class wxCheckBox;
class wxListCtrl;

class HistoryWindow : public wxDialog {
public:
    // Restore puts an entry into `content`.
    HistoryWindow(wxWindow& parent, EditorContent& content);

    wxListCtrl* GetList() const { return list; }
    wxCheckBox* GetAllUnits() const { return allUnits; }
    const std::vector<HistoryEntry>& Entries() const { return entries; }
    // Puts the selected entry into the editors and closes the window; false
    // when none or an unreadable one is selected.
    bool RestoreSelected();
    void Fill();

private:
    void OnOpenFolder(wxCommandEvent& event);

    EditorContent& content;
    EditorSession& session;
    wxCheckBox* allUnits = nullptr;
    wxListCtrl* list = nullptr;
    std::vector<HistoryEntry> entries;
};
