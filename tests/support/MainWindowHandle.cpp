#include "MainWindowHandle.h"

#include "gui/NotebookPages.h"
#include "gui/VTX_GUIMain.h"

wxFrame* MainWindowHandle::Window() const
{
    return frame;
}
void MainWindowHandle::AutoConnect() const
{
    frame->AutoConnect();
}
bool MainWindowHandle::IsPolling() const
{
    return frame->IsLiveTimerRunning();
}
VantrelBase* MainWindowHandle::Device() const
{
    return frame->GetDevice();
}
FwUpdateDialog* MainWindowHandle::UpdateDialog() const
{
    return frame->GetFwUpdateDialog();
}
void MainWindowHandle::SetUpdatePacing(const UpdatePacing& pacing) const
{
    frame->SetUpdatePacing(pacing);
}
LiveChart* MainWindowHandle::Chart() const
{
    return frame->GetLiveChart();
}
LiveLogging& MainWindowHandle::Logging() const
{
    return frame->GetLogging();
}
LogReplay& MainWindowHandle::Replay() const
{
    return frame->GetReplay();
}

void MainWindowHandle::BuildPageHolding(const char* name) const
{
    frame->GetPages().BuildPageHolding(name);
}
