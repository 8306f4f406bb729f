// A simulated running engine that feeds the unit's live report: the engine
// speed sweeps up through the gears and falls back on each up-shift, the road
// speed follows the gear ratio, throttle, inputs and outputs toggle, and the
// supply voltage wanders around 13.8 V. Deterministic for a given time.
#pragma once

#include <cstdint>
#include <vector>

class LiveEngine {
public:
    // The report for a unit of `generation` (16, 18 or 19 bytes) at `elapsedMs`
    // milliseconds after the unit came up.
    static std::vector<uint8_t> Report(uint16_t generation, uint64_t elapsedMs);

    // Engine speed (rpm, never below the 1300 rpm idle) and engaged gear (1..6)
    // at `elapsedMs`; exposed so that tests can check a report against them.
    static uint32_t Rpm(uint64_t elapsedMs);
    static uint8_t Gear(uint64_t elapsedMs);
};

// Report length per generation: 16 bytes up to 106, 18 for 107, 19 from 108.
uint32_t LiveReportLength(uint16_t generation);
