// The main window's automatic history: keeps an entry for every configuration
// that comes from a unit, is written to one, opened or saved, for edits the
// editors are about to lose, and at quit when edited. It only uses records the
// commands already have: it sends nothing to a unit and asks nothing. The
// History and Compare commands of the Edit menu open their windows.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <wx/string.h>

#include "config/DeviceConfiguration.h"

class Connection;
class HistoryStore;
class VTX_GUIFrame;
class wxCommandEvent;

class HistoryKeeper {
public:
    HistoryKeeper(VTX_GUIFrame& frame, Connection& connection);
    ~HistoryKeeper();
    HistoryKeeper(const HistoryKeeper&) = delete;
    HistoryKeeper& operator=(const HistoryKeeper&) = delete;

    void BindToFrame();

    // After the commands succeeded, with the record they had.
    void FromUnit(const DeviceConfiguration& record, const char* event);  // "read", "connect"
    void ToUnit(const DeviceConfiguration& record);
    void FromFile(const DeviceConfiguration& record, const wxString& path);
    void ToFile(const DeviceConfiguration& record, const wxString& path);
    // Before the editors' content is replaced, and at quit.
    void BeforeReplace();
    void AtQuit();

    // Whether the editors differ from what they last came from or went to.
    bool EditorsEdited();

    HistoryStore& Store() { return *store; }
    // Keeps the entries below `root` from now on (the start uses DefaultHistoryRoot).
    void UseRoot(const std::filesystem::path& root);
    Connection& GetConnection() { return connection; }
    // The connected unit's serial number; empty for the simulated unit.
    std::string UnitSerial() const;
    // Off: nothing is kept (to compare a command's requests with and without).
    void SetEnabled(bool on) { enabled = on; }

private:
    void Keep(const DeviceConfiguration& record, const std::string& event, const wxString& sourceText);
    // The text of the editors' source ("Unit VT000001", "Defaults of 1.08").
    wxString SourceName() const;
    void OnHistory(wxCommandEvent& event);
    void OnCompare(wxCommandEvent& event);

    VTX_GUIFrame& frame;
    Connection& connection;
    std::unique_ptr<HistoryStore> store;
    bool enabled = true;
};
