#include "gui/MainWindowEvents.h"

wxDEFINE_EVENT(EVT_FIRMWARE_UPDATE, wxCommandEvent);
wxDEFINE_EVENT(EVT_UNSUPPORTED_DEVICE, wxCommandEvent);
wxDEFINE_EVENT(EVT_CONNECTING_FAILED, wxCommandEvent);

const ToolIds& GetToolIds()
{
    static const ToolIds ids{wxWindow::NewControlId(), wxWindow::NewControlId(), wxWindow::NewControlId(),
                             wxWindow::NewControlId(), wxWindow::NewControlId(), wxWindow::NewControlId(),
                             wxWindow::NewControlId()};
    return ids;
}
