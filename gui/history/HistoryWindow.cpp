#include "gui/history/HistoryWindow.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "editor/EditorRecords.h"
#include "gui/editors/EditorContent.h"
#include "history/FieldLabels.h"
#include "history/RecordDiff.h"
#include "session/EditorSession.h"
#include "session/HistoryTexts.h"

namespace {

// The events as the history keeps them, in English whoever kept them (the
// window or vantrel); the list shows them in the user's language.
[[maybe_unused]] const char* const kEventNames[] = {
    wxTRANSLATE("connect"), wxTRANSLATE("read"),    wxTRANSLATE("write"), wxTRANSLATE("open"),
    wxTRANSLATE("save"),    wxTRANSLATE("unsaved"), wxTRANSLATE("quit"),  wxTRANSLATE("update"),
};

constexpr int kSourceColumn = 2;
constexpr int kSourceWidth = 180;

}  // namespace

HistoryWindow::HistoryWindow(wxWindow& parent, EditorContent& content)
    : wxDialog(&parent, wxID_ANY, _("History"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      content(content),
      session(content.Session())
{
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    allUnits = new wxCheckBox(this, wxID_ANY, _("All units"));
    allUnits->SetValue(session.UnitSerial().empty());
    sizer->Add(allUnits, 0, wxALL, 8);
    list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(1120, 300)),
                          wxLC_REPORT | wxLC_SINGLE_SEL);
    list->AppendColumn(_("Time"), wxLIST_FORMAT_LEFT, FromDIP(160));
    list->AppendColumn(_("Event"), wxLIST_FORMAT_LEFT, FromDIP(110));  // "enregistrement"
    list->AppendColumn(_("Source"), wxLIST_FORMAT_LEFT, FromDIP(kSourceWidth));
    list->AppendColumn(_("Changes"), wxLIST_FORMAT_LEFT, FromDIP(700));
    sizer->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* restore = new wxButton(this, wxID_ANY, _("Restore"));
    auto* openFolder = new wxButton(this, wxID_ANY, _("Open folder"));
    buttons->Add(restore, 0, wxRIGHT, 8);
    buttons->Add(openFolder, 0, wxRIGHT, 8);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_CANCEL, _("Close")));
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(sizer);

    allUnits->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Fill(); });
    restore->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { RestoreSelected(); });
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { RestoreSelected(); });
    openFolder->Bind(wxEVT_BUTTON, &HistoryWindow::OnOpenFolder, this);
    Fill();
}

void HistoryWindow::Fill()
{
    HistoryStore& store = session.History();
    entries = allUnits->GetValue() ? store.ListAll() : store.List(session.UnitSerial());
    list->DeleteAllItems();
    for (size_t i = 0; i < entries.size(); ++i) {
        const HistoryEntry& entry = entries[i];
        const long row = list->InsertItem(static_cast<long>(i), EntryTimeText(entry.record));
        list->SetItem(row, 1, EntryEventText(entry.record));
        list->SetItem(row, kSourceColumn, EntrySourceText(entry.record));
        wxString changes = _("unreadable");
        if (entry.readable) {
            changes = _("first entry");
            // Against the next older readable entry of the same unit.
            for (size_t j = i + 1; j < entries.size(); ++j) {
                if (entries[j].readable && entries[j].record.unit == entry.record.unit) {
                    const DeviceConfiguration& newer = entry.record.config;
                    changes = wxString::FromUTF8(
                        SummarizeDifferences(DiffRecords(AsEditorsHoldIt(newer, newer),
                                                         AsEditorsHoldIt(entries[j].record.config, newer)),
                                             CatalogueLabels()));
                    break;
                }
            }
        }
        list->SetItem(row, 3, changes);
    }
    // The sources as wide as the longest in the user's language ("Steuergerät
    // VT000001 (bearbeitet)"), the column never narrower than it began.
    list->SetColumnWidth(kSourceColumn, wxLIST_AUTOSIZE);
    list->SetColumnWidth(kSourceColumn, std::max(list->GetColumnWidth(kSourceColumn), FromDIP(kSourceWidth)));
}

bool HistoryWindow::RestoreSelected()
{
    const long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0 || static_cast<size_t>(row) >= entries.size() || !entries[row].readable)
        return false;
    const HistoryEntry entry = entries[row];
    content.Replace(ForShowing(entry.record.config), wxString::Format(_("Restore %s"), EntryTitle(entry)),
                    std::nullopt);
    if (IsModal())
        EndModal(wxID_OK);
    return true;
}

void HistoryWindow::OnOpenFolder(wxCommandEvent& /*event*/)
{
    HistoryStore& store = session.History();
    const std::filesystem::path folder =
        allUnits->GetValue() ? store.Root() : store.FolderOf(session.UnitSerial());
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    wxLaunchDefaultApplication(wxString(folder.string()));
}
