#include "gui/commands/ConnectionDialog.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/xrc/xmlres.h>

ConnectionDialog::ConnectionDialog(wxWindow* parent, wxWindowID /*id*/)
{
    wxXmlResource::Get()->LoadObject(this, parent, "ConnectionDialog", "wxDialog");
    list = XRCCTRL(*this, "ID_LISTCTRL1", wxListCtrl);
    refreshButton = XRCCTRL(*this, "ID_BTN_REFRESH", wxButton);
    okButton = dynamic_cast<wxButton*>(FindWindow(wxID_OK));
    // Dialogs stop command events at themselves by default; the refresh
    // button's event must travel on to the main window.
    SetExtraStyle(GetExtraStyle() & ~wxWS_EX_BLOCK_EVENTS);

    // The refresh button is not handled here: its event travels up to the
    // main window, which enumerates again and refills this dialog.
    if (list) {
        list->Bind(wxEVT_LIST_ITEM_SELECTED, &ConnectionDialog::OnSelectionChanged, this);
        list->Bind(wxEVT_LIST_ITEM_DESELECTED, &ConnectionDialog::OnSelectionChanged, this);
        list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &ConnectionDialog::OnItemActivated, this);
    }
    if (okButton)
        okButton->Disable();
}

void ConnectionDialog::ClearDeviceList()
{
    if (list) {
        list->ClearAll();
        const wxString titles[] = {_("Device"), _("Serial number"), _("Firmware version"), _("Path")};
        for (int column = 0; column < 4; ++column)
            list->InsertColumn(column, titles[column], wxLIST_FORMAT_LEFT, wxLIST_AUTOSIZE_USEHEADER);
    }
    if (okButton)
        okButton->Disable();
}

void ConnectionDialog::AddDevice(const wxString& device, const wxString& serialNumber,
                                 const wxString& version, const wxString& path, long deviceIndex)
{
    if (!list)
        return;
    const long row = list->InsertItem(0, device);
    list->SetItem(row, 1, serialNumber);
    list->SetItem(row, 2, version);
    list->SetItem(row, 3, path);
    list->SetItemData(row, deviceIndex);
    // Fit each column to its texts, but never narrower than its title, which
    // would otherwise be cut ("Serial num").
    for (int column = 0; column < 4; ++column) {
        list->SetColumnWidth(column, wxLIST_AUTOSIZE_USEHEADER);
        const int titleWidth = list->GetColumnWidth(column);
        list->SetColumnWidth(column, wxLIST_AUTOSIZE);
        if (list->GetColumnWidth(column) < titleWidth)
            list->SetColumnWidth(column, titleWidth);
    }
}

long ConnectionDialog::GetSelectedIndex() const
{
    if (!list)
        return -1;
    const long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0)
        return -1;
    return static_cast<long>(list->GetItemData(row));
}

void ConnectionDialog::OnSelectionChanged(wxListEvent& event)
{
    if (okButton)
        okButton->Enable(list->GetSelectedItemCount() > 0);
    event.Skip();
}

void ConnectionDialog::OnItemActivated(wxListEvent& /*event*/)
{
    EndModal(wxID_OK);
}
