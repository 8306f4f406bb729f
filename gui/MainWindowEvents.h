// What the main window's parts share without knowing the window: the events
// the connect flows post to it and the ids of its toolbar's tools.
#pragma once

#include <wx/event.h>
#include <wx/window.h>

// Posted to the main window's own queue; plain command events with id 0.
wxDECLARE_EVENT(EVT_FIRMWARE_UPDATE, wxCommandEvent);
wxDECLARE_EVENT(EVT_UNSUPPORTED_DEVICE, wxCommandEvent);
wxDECLARE_EVENT(EVT_CONNECTING_FAILED, wxCommandEvent);

// Ids of the toolbar tools, reserved once per program run.
struct ToolIds {
    wxWindowID toolbar, newConfig, open, saveAs, read, write, connect;
};
const ToolIds& GetToolIds();
