// Where a command reads and writes: its data goes to `out`, its messages to
// `err`, answers come from `in`. Whether they are terminals decides the
// questions and the progress bar.
#pragma once

#include <iosfwd>
#include <string>

#include "gui/FirmwareUpdatePacing.h"

struct Console {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool inIsTerminal = false;
    bool errIsTerminal = false;
    // The descriptor behind `out`, for a writer of its own (the live log).
    int outDescriptor = 1;
    // How an update lets events run and waits (the defaults, unless a test
    // acts at its steps).
    UpdatePacing pacing{};

    // "vantrel: <text>" and a line end on `err`.
    void Say(const std::string& text) const;
};

// Whether the user agreed to `question`: always with --yes; otherwise only on
// a terminal, where the question is asked and "y" or "yes" answers it. Without
// a terminal and without --yes it says so and refuses.
bool Confirmed(const Console& console, bool yes, const std::string& question);
