// Ctrl+C (SIGINT), SIGTERM and SIGHUP while a command runs. The live log
// stops on them and ends its file cleanly; the firmware update holds them
// until the unit is safe: the main thread never sees them then, so that no
// wait of the update is cut short.
#pragma once

#include <csignal>

class Interrupts {
public:
    enum class Mode { Stop, Hold };

    explicit Interrupts(Mode mode);
    // Restores the handlers and the main thread's mask of before.
    ~Interrupts();
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    // Whether one came since this object was made.
    static bool Received();

private:
    Mode mode;
    struct sigaction previous[3]{};
    sigset_t previousMask{};
};
