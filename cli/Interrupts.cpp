#include "cli/Interrupts.h"

#include <pthread.h>

namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t received = 0;

void Note(int /*signal*/)
{
    received = 1;
}

}  // namespace

Interrupts::Interrupts(Mode mode) : mode(mode)
{
    received = 0;
    struct sigaction action {};
    action.sa_handler = &Note;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &action, &previous[i]);
    if (mode == Mode::Hold) {
        // Another thread (libusb's, the history's) takes the signal instead.
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : kSignals)
            sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &previousMask);
    }
}

Interrupts::~Interrupts()
{
    if (mode == Mode::Hold)
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
}

bool Interrupts::Received()
{
    return received != 0;
}
