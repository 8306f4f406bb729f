// The unit's live report in raw and decoded form, and the conversions from
// the unit's readings (periods, converter counts) to rpm, km/h and millivolts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

struct DeviceConfiguration;

// The bytes of the last live report in wire order, zero-padded to 19 bytes.
inline constexpr size_t LIVE_RAW_LENGTH = 19;
using LiveRaw = std::array<uint8_t, LIVE_RAW_LENGTH>;

// The decoded report. Voltages in millivolts (multiples of 50), bits as 0/1.
struct LiveValues {
    uint32_t rpm = 0;    // 0 or 343 .. 16000
    uint32_t speed = 0;  // 100-106: rpm rule; 107 on: km/h, 0 .. 400
    uint32_t tpsVoltage = 0;
    uint32_t gearVoltage = 0;
    uint32_t inputVoltage1 = 0;
    uint32_t inputVoltage2 = 0;
    uint32_t inputVoltage3 = 0;
    uint32_t inputVoltage4 = 0;
    uint32_t inputVoltage5 = 0;
    uint32_t inputVoltage6 = 0;
    uint32_t inputShifter = 0;
    uint32_t inputBlipper = 0;
    uint32_t inputWarmUp = 0;
    uint32_t inputPit = 0;
    uint32_t inputClutch = 0;
    uint32_t inputDeactivation = 0;
    uint32_t outputRpmLed = 0;
    uint32_t outputBlipper = 0;
    uint32_t outputIgnition = 0;
    uint32_t outputInjection = 0;
    uint32_t gear = 0;
    bool powerFlag = false;
    uint32_t rpmSpeedRatio = 0;  // 0 before generation 107
    uint32_t supplyVoltage = 0;  // 0 before generation 108

    friend bool operator==(const LiveValues&, const LiveValues&) = default;
};

// Converter count (inputs, throttle, gear sensor) to mV: 43 mV per count,
// rounded to the nearest 50 mV. 100 -> 4300, 255 -> 10950.
uint32_t CountToMillivolts(uint8_t count);
// Supply reading of generation 108 to mV: 76.562 mV per count, rounded to the
// nearest 50 mV. 160 -> 12250, 255 -> 19500.
uint32_t SupplyCountToMillivolts(uint8_t count);

// Generations 100-106, rpm and speed alike: 0 stays 0, otherwise
// min(22500000 / period, 16000).
uint32_t PeriodToRpm100(uint16_t period);
// Generations 107 and 108; pulsesPerTwoRevolutions is the configured 1, 2 or
// 4 (any other value counts one pulse per period).
uint32_t PeriodToRpm107(uint16_t period, int32_t pulsesPerTwoRevolutions);
// Generations 107 and 108, km/h capped at 400. A period of 0 and a speed
// sensor without pulses (numOfSpeedPulses 0, e.g. a blank record) both give 0.
uint32_t PeriodToSpeed107(uint16_t period, int32_t numOfSpeedPulses, int32_t wheelCircumference);

// Decoding of one complete report (16, 18 or 19 bytes as the generation
// sends it). The fields a family does not carry stay 0.
LiveValues DecodeLiveReport100(std::span<const uint8_t> report);
// 107: rpm and speed from the configuration the unit was last read with or
// written with, plus the rpm/speed ratio.
LiveValues DecodeLiveReport107(std::span<const uint8_t> report, const DeviceConfiguration& config);
// 108: as 107, plus the supply voltage; a saturated reading (255) of bytes 4
// to 11 is reported as the supply voltage.
LiveValues DecodeLiveReport108(std::span<const uint8_t> report, const DeviceConfiguration& config);

// The report bytes followed by zeros up to LIVE_RAW_LENGTH.
LiveRaw MakeLiveRaw(std::span<const uint8_t> report);
