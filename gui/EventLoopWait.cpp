#include "gui/EventLoopWait.h"

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/evtloop.h>
#include <wx/thread.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <algorithm>
#include <chrono>
#include <memory>

void WaitWithEventsRunning(uint32_t milliseconds)
{
    using Clock = std::chrono::steady_clock;
    wxAppConsole* const app = wxAppConsole::GetInstance();
    wxAppTraits* const traits = app != nullptr ? app->GetTraits() : nullptr;
    if (traits == nullptr || !app->IsGUI() || !wxThread::IsMain()) {
        wxMilliSleep(milliseconds);
        return;
    }

    const std::unique_ptr<wxEventLoopBase> loop(traits->CreateEventLoop());
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    wxTimer end;
    end.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        // Exit() ends the innermost loop: while a handler's own loop (a modal
        // dialog) runs inside this one, look again a little later.
        if (left <= 0 && wxEventLoopBase::GetActive() == loop.get()) {
            loop->Exit();
            return;
        }
        end.StartOnce(static_cast<int>(std::clamp<long long>(left, 1, 10)));
    });
    end.StartOnce(static_cast<int>(milliseconds));
    loop->Run();
}
