// A wait on the GUI thread that does not freeze the program: the event loop
// keeps running (repaints, timers, input to windows that are enabled) until
// the time is up.
#pragma once

#include <cstdint>

// Waits at least `milliseconds`. In a GUI application on its main thread a
// nested event loop runs and a one-shot timer ends it; when a handler opens a
// loop of its own meanwhile (a modal dialog), the wait ends only after that
// loop has returned. Anywhere else it blocks the calling thread.
void WaitWithEventsRunning(uint32_t milliseconds);
