#include "gui/history/CompareWindow.h"

#include <algorithm>
#include <stdexcept>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "config/SettingsKeys.h"
#include "device/Features.h"
#include "editor/EditorRecords.h"
#include "gui/NotebookPages.h"
#include "gui/VantrelBase.h"
#include "gui/editors/EditorContent.h"
#include "gui/editors/EditorsView.h"
#include "history/FieldLabels.h"
#include "session/Connection.h"
#include "session/EditorSession.h"
#include "session/HistoryTexts.h"

namespace {

// Choice items before the kept entries.
enum SourceItem { kChooseItem, kUnitItem, kFileItem, kFirstEntryItem };

const wxColour kDifferentCell(255, 214, 102);
constexpr int kFieldWidth = 220;

const char* MapGridName(RecordField::Kind kind)
{
    return kind == RecordField::Kind::Blipper ? "ID_GRID2" : "ID_GRID3";
}

wxGrid* MapGrid(wxWindow& window, RecordField::Kind kind)
{
    return dynamic_cast<wxGrid*>(window.FindWindow(XRCID(MapGridName(kind))));
}

}  // namespace

CompareWindow::CompareWindow(wxWindow& parent, EditorContent& content, NotebookPages& pages,
                             Connection& connection)
    : wxDialog(&parent, wxID_ANY, _("Compare"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      parent(parent),
      content(content),
      session(content.Session()),
      pages(pages),
      connection(connection)
{
    entries = session.History().List(session.UnitSerial());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticText(this, wxID_ANY, _("Compare the editors with:")), 0,
             wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    sourceChoice = new wxChoice(this, wxID_ANY);
    sourceChoice->Append(_("(choose)"));
    sourceChoice->Append(_("Connected unit"));
    sourceChoice->Append(_("Settings file..."));
    for (const HistoryEntry& entry : entries)
        sourceChoice->Append(EntryTitle(entry));
    sourceChoice->SetSelection(kChooseItem);
    top->Add(sourceChoice, 1, wxEXPAND);
    sizer->Add(top, 0, wxEXPAND | wxALL, 8);
    message = new wxStaticText(this, wxID_ANY, wxEmptyString);
    sizer->Add(message, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(560, 360)), wxLC_REPORT);
    list->AppendColumn(_("Field"), wxLIST_FORMAT_LEFT, FromDIP(kFieldWidth));
    list->AppendColumn(_("Editors"), wxLIST_FORMAT_RIGHT, FromDIP(150));
    list->AppendColumn(_("Other"), wxLIST_FORMAT_RIGHT, FromDIP(150));
    sizer->Add(list, 1, wxEXPAND | wxALL, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* take = new wxButton(this, wxID_ANY, _("Take"));
    auto* takeAll = new wxButton(this, wxID_ANY, _("Take all"));
    buttons->Add(take, 0, wxRIGHT, 8);
    buttons->Add(takeAll, 0, wxRIGHT, 8);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_CANCEL, _("Close")));
    sizer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(sizer);

    sourceChoice->Bind(wxEVT_CHOICE, &CompareWindow::OnSource, this);
    take->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TakeSelected(); });
    takeAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TakeAll(); });
}

CompareWindow::~CompareWindow()
{
    ClearGrids();
}

wxString CompareWindow::GetMessage() const
{
    return message->GetLabel();
}

void CompareWindow::OnSource(wxCommandEvent& /*event*/)
{
    const int item = sourceChoice->GetSelection();
    if (item == kUnitItem) {
        CompareWithUnit();
    } else if (item == kFileItem) {
        wxFileDialog dialog(this, _("Compare with"), wxEmptyString, wxEmptyString, "(*.vtn)|*.vtn",
                            wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (dialog.ShowModal() == wxID_OK)
            CompareWithFile(dialog.GetPath());
    } else if (item >= kFirstEntryItem) {
        CompareWithEntry(static_cast<size_t>(item - kFirstEntryItem));
    }
}

bool CompareWindow::CompareWithUnit()
{
    VantrelBase* device = connection.Get();
    if (!device || !device->IsOpen() || device->GetFeature(FEATURE_SIMULATED) != 0 ||
        device->GetDeviceMode() != 0) {
        message->SetLabel(_("No unit is connected."));
        return false;
    }
    DeviceConfiguration config;
    ClearConfiguration(config);
    if (device->ReadConfiguration(&config) != 0) {
        message->SetLabel(_("Configuration reading failed"));
        return false;
    }
    CompareWith(config, wxString::Format(_("Unit %s"), wxString::FromUTF8(device->GetSerialNumber())));
    return true;
}

bool CompareWindow::CompareWithFile(const wxString& path)
{
    const wxString name = wxFileName(path).GetFullName();
    std::unique_ptr<wxFileConfig> store;
    {
        wxLogNull quiet;  // the message below says what is wrong with the file
        store = OpenSettingsFileToLoad(path);
    }
    DeviceConfiguration config;
    ClearConfiguration(config);
    if (!store || connection->LoadSettings(*store, config) != 0) {
        message->SetLabel(wxString::Format(_("%s is not a settings file."), name));
        return false;
    }
    CompareWith(config, name);
    return true;
}

bool CompareWindow::CompareWithEntry(size_t index)
{
    if (index >= entries.size() || !entries[index].readable) {
        message->SetLabel(_("This entry cannot be read."));
        return false;
    }
    CompareWith(entries[index].record.config, EntryTitle(entries[index]));
    return true;
}

void CompareWindow::CompareWith(const DeviceConfiguration& config, const wxString& name)
{
    other = config;
    otherName = name;
    Refresh();
}

void CompareWindow::Refresh()
{
    differences.clear();
    list->DeleteAllItems();
    ClearGrids();
    if (!other)
        return;
    try {
        const DeviceConfiguration editors = content.View().CollectConfiguration();
        differences = DiffRecords(editors, AsEditorsHoldIt(*other, editors));
    } catch (const std::exception& error) {
        message->SetLabel(error.what());
        return;
    }
    for (size_t i = 0; i < differences.size(); ++i) {
        const long row = list->InsertItem(
            static_cast<long>(i), wxString::FromUTF8(FieldLabel(differences[i].field, CatalogueLabels())));
        list->SetItem(row, 1, wxString::Format("%d", differences[i].ours));
        list->SetItem(row, 2, wxString::Format("%d", differences[i].theirs));
    }
    // The fields as wide as the longest name in the user's language, the
    // column never narrower than it began.
    list->SetColumnWidth(0, wxLIST_AUTOSIZE);
    list->SetColumnWidth(0, std::max(list->GetColumnWidth(0), FromDIP(kFieldWidth)));
    message->SetLabel(differences.empty()
                          ? wxString::Format(_("The editors hold the same as %s."), otherName)
                          : wxString::Format(_("%zu fields differ from %s."), differences.size(), otherName));
    MarkGrids();
}

void CompareWindow::TakeSelected()
{
    std::vector<FieldDifference> chosen;
    for (long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row >= 0;
         row = list->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        chosen.push_back(differences[static_cast<size_t>(row)]);
    if (chosen.size() != 1) {
        Take(chosen, wxString::Format(wxPLURAL("%zu field", "%zu fields", chosen.size()), chosen.size()));
        return;
    }
    // The field as the list names it; the settings key for one without a label.
    const std::string label = FieldLabel(chosen.front().field, CatalogueLabels());
    Take(chosen, wxString::FromUTF8(label.empty() ? chosen.front().name : label));
}

void CompareWindow::TakeAll()
{
    Take(differences, _("all fields"));
}

void CompareWindow::Take(const std::vector<FieldDifference>& chosen, const wxString& what)
{
    if (chosen.empty() || !other)
        return;
    DeviceConfiguration editors;
    try {
        editors = content.View().CollectConfiguration();
    } catch (const std::exception&) {
        return;
    }
    TakeValues(editors, chosen);
    content.Replace(ForShowing(editors), wxString::Format(_("Take %s of %s"), what, otherName), std::nullopt);
    Refresh();
}

void CompareWindow::MarkGrids()
{
    for (const FieldDifference& difference : differences) {
        if (difference.field.kind == RecordField::Kind::Scalar)
            continue;
        // A map whose page was never shown gets its page, to carry the marks.
        pages.BuildPageHolding(MapGridName(difference.field.kind));
        if (wxGrid* grid = MapGrid(parent, difference.field.kind))
            grid->SetCellBackgroundColour(difference.field.cell - 1, difference.field.row, kDifferentCell);
    }
    for (auto kind : {RecordField::Kind::Blipper, RecordField::Kind::Shifter})
        if (wxGrid* grid = MapGrid(parent, kind))
            grid->ForceRefresh();
}

void CompareWindow::ClearGrids()
{
    for (auto kind : {RecordField::Kind::Blipper, RecordField::Kind::Shifter}) {
        wxGrid* grid = MapGrid(parent, kind);
        if (!grid)
            continue;
        for (int row = 0; row < grid->GetNumberRows(); ++row)
            for (int column = 0; column < grid->GetNumberCols(); ++column)
                grid->SetCellBackgroundColour(row, column, grid->GetDefaultCellBackgroundColour());
        grid->ForceRefresh();
    }
}
