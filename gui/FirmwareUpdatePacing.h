// How the firmware update lets the program breathe while it waits for the
// unit: it lets pending events run at fixed points and waits 500 ms between
// the attempts to find the restarted unit. The caller of an update passes
// both in, so that the window can keep painting in its own way and tests and
// benchmarks can count the yields and measure the time spent waiting. The
// defaults (empty functions) are the real thing: the running application's Yield(onlyIfNeeded)
// and a wait that keeps the application's event loop running (a plain
// blocking sleep where there is no GUI application).
#pragma once

#include <cstdint>
#include <functional>

using UpdateYieldFunction = std::function<void()>;
using UpdateSleepFunction = std::function<void(uint32_t milliseconds)>;

// Time the update sleeps before each attempt to find the restarted unit.
inline constexpr uint32_t UPDATE_WAIT_STEP_MS = 500;
// Attempts of each of the two waits (bootloader, application).
inline constexpr int32_t UPDATE_WAIT_ATTEMPTS = 10;

// Lets the application process pending events once, if any are waiting; does
// nothing when no application object exists.
void DefaultUpdateYield();
// Waits `milliseconds` with events handled meanwhile: in a GUI application
// on its main thread a nested event loop runs until a one-shot timer ends it,
// so that windows repaint, timers fire and input reaches the windows that are
// not disabled. Elsewhere (no application, a console one, another thread) it
// blocks the calling thread.
void DefaultUpdateSleep(uint32_t milliseconds);

// What an update does where it lets events run and where it waits; an empty
// function stands for the default.
struct UpdatePacing {
    UpdateYieldFunction yield;
    UpdateSleepFunction sleep;

    void Yield() const;
    void Sleep(uint32_t milliseconds) const;
};
