// What each kind of connection enables, and its LED.
#include <gtest/gtest.h>

#include "session/CommandEnabling.h"

namespace {

TEST(CommandEnabling, OnlyAReadyUnitReadsAndWritesAndOnlyARealOneIsUpdated)
{
    using L = ConnectionLed;
    struct Case {
        const char* what;
        ConnectionFacts facts;
        CommandEnabling expected;
    };
    // {open, simulated, bootloader, canLock, hasWarmUp} -> {readWrite, lock, firmware, new, warmUp, led}
    const Case table[] = {
        {"the simulated unit", {true, true, false, true, true}, {false, false, false, true, true, L::Unlit}},
        {"a unit that can lock",
         {true, false, false, true, false},
         {true, true, true, true, false, L::UnitReady}},
        {"a unit without lock",
         {true, false, false, false, true},
         {true, false, true, true, true, L::UnitReady}},
        {"a unit in its bootloader",
         {true, false, true, false, false},
         {false, false, true, false, false, L::Bootloader}},
        {"a closed unit", {false, false, false, true, false}, {false, false, false, true, false, L::Unlit}},
        {"a closed bootloader",
         {false, false, true, false, false},
         {false, false, false, false, false, L::Unlit}},
    };
    for (const Case& c : table)
        EXPECT_EQ(EnablingFor(c.facts), c.expected) << c.what;
}

}  // namespace
