// Lets the user pick one of the attached units: one row per device (name,
// serial number, firmware version, path) and a refresh button that the main
// window answers by enumerating again.
#pragma once

#include <wx/dialog.h>

class wxButton;
class wxListCtrl;
class wxListEvent;

class ConnectionDialog : public wxDialog {
public:
    // Loads the "ConnectionDialog" layout; OK starts disabled.
    ConnectionDialog(wxWindow* parent, wxWindowID id = wxID_ANY);

    // Removes every row and column, inserts the four columns, disables OK.
    virtual void ClearDeviceList();
    // Inserts a row at the top carrying the device's index in the list.
    virtual void AddDevice(const wxString& device, const wxString& serialNumber, const wxString& version,
                           const wxString& path, long deviceIndex);
    // The index carried by the first selected row, or -1.
    virtual long GetSelectedIndex() const;

    wxListCtrl* GetListCtrl() const { return list; }

private:
    void OnSelectionChanged(wxListEvent& event);
    void OnItemActivated(wxListEvent& event);

    wxListCtrl* list = nullptr;
    wxButton* refreshButton = nullptr;
    wxButton* okButton = nullptr;
};
