// A simulated running engine that feeds the unit's live report: the engine
// speed sweeps up through the gears and falls back on each up-shift, the road
// speed follows the gear's rpm/speed ratio, and the supply voltage wanders
// around 13.8 V. Deterministic for a given time.
//
// The unit measures what its configuration says is there, so the report is
// derived from it: the rpm period from the pulses per two revolutions, the
// speed period from the speed pulses and the wheel circumference, the gear
// sensor reading from the gear voltages, the throttle from the TPS
// calibration, the binary inputs from the inputs' functions and polarities,
// the outputs from the outputs' functions and the shift-light rpm. Decoded as
// the program decodes the generation's report, it shows Rpm() and Speed(),
// within one count of the period each is timed by.
//
// Generations before 107 know neither speed pulses nor wheel size: their
// unit times one pulse a turn of the wheel (a 2 m rear wheel here), and the
// program decodes the period with the rpm rule, as the wheel's turns a minute
// (WheelTurns()).
#pragma once

#include <cstdint>
#include <vector>

#include "config/DeviceConfiguration.h"

class LiveEngine {
public:
    // The report (16, 18 or 19 bytes) of a unit of `generation` holding
    // `config`, at `elapsedMs` milliseconds after the unit came up.
    static std::vector<uint8_t> Report(uint16_t generation, const DeviceConfiguration& config,
                                       uint64_t elapsedMs);

    // Engine speed (rpm, never below the 1300 rpm idle) and engaged gear
    // (0 neutral, 1..6) at `elapsedMs`.
    static uint32_t Rpm(uint64_t elapsedMs);
    static uint8_t Gear(uint64_t elapsedMs);
    // Road speed in km/h at `elapsedMs`: rpm * 10 / the engaged gear's
    // rpm/speed ratio from `config` (a ratio of 0 counts as the factory's).
    static uint32_t Speed(const DeviceConfiguration& config, uint64_t elapsedMs);
    // What a unit before 107 reports of that road speed, as the program shows
    // it: the wheel's turns a minute, 0 below 343 (slower pulses than the
    // 16-bit timer holds, under some 41 km/h).
    static uint32_t WheelTurns(const DeviceConfiguration& config, uint64_t elapsedMs);
};

// Report length per generation: 16 bytes up to 106, 18 for 107, 19 from 108.
uint32_t LiveReportLength(uint16_t generation);
