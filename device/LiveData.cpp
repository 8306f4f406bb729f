#include "device/LiveData.h"

#include <algorithm>

#include "config/DeviceConfiguration.h"
#include "device/DeviceRequests.h"

namespace {

constexpr uint32_t kMaxRpm = 16000;
constexpr uint32_t kMinRpm = 343;  // what the 107 family reports below its range
constexpr uint32_t kRpmPeriodConstant = 22500000;
constexpr uint64_t kMaxSpeed = 400;

// Report offsets.
constexpr size_t kRpmPeriod = 0;
constexpr size_t kSpeedPeriod = 2;
constexpr size_t kTps = 4;
constexpr size_t kGearSensor = 5;
constexpr size_t kInput1 = 6;
constexpr size_t kBinaryInputs = 12;
constexpr size_t kBinaryOutputs = 13;
constexpr size_t kGear = 14;
constexpr size_t kPower = 15;
constexpr size_t kRatio = 16;
constexpr size_t kSupply = 18;

uint16_t Word(std::span<const uint8_t> report, size_t offset)
{
    return static_cast<uint16_t>(report[offset] | (report[offset + 1] << 8));
}

uint32_t Bit(uint8_t byte, int bit)
{
    return (byte >> bit) & 1u;
}

// The fields every report carries, with the readings converted at 43 mV per
// count; rpm and speed are left to the family.
LiveValues DecodeCommonFields(std::span<const uint8_t> report)
{
    LiveValues values;
    values.tpsVoltage = CountToMillivolts(report[kTps]);
    values.gearVoltage = CountToMillivolts(report[kGearSensor]);
    uint32_t* inputs[] = {&values.inputVoltage1, &values.inputVoltage2, &values.inputVoltage3,
                          &values.inputVoltage4, &values.inputVoltage5, &values.inputVoltage6};
    for (size_t i = 0; i < 6; ++i) {
        *inputs[i] = CountToMillivolts(report[kInput1 + i]);
    }
    const uint8_t in = report[kBinaryInputs];
    values.inputShifter = Bit(in, 0);
    values.inputBlipper = Bit(in, 1);
    values.inputWarmUp = Bit(in, 2);
    values.inputPit = Bit(in, 3);
    values.inputClutch = Bit(in, 4);
    values.inputDeactivation = Bit(in, 5);
    const uint8_t out = report[kBinaryOutputs];
    values.outputRpmLed = Bit(out, 0);
    values.outputBlipper = Bit(out, 1);
    values.outputIgnition = Bit(out, 2);
    values.outputInjection = Bit(out, 3);
    values.gear = report[kGear];
    values.powerFlag = (report[kPower] & 1u) != 0;
    return values;
}

}  // namespace

uint32_t CountToMillivolts(uint8_t count)
{
    return ((43u * count + 25u) / 50u) * 50u;
}

uint32_t SupplyCountToMillivolts(uint8_t count)
{
    const uint64_t scaled = (76562ull * count) / 1000ull;
    return static_cast<uint32_t>(((scaled + 25ull) / 50ull) * 50ull);
}

uint32_t PeriodToRpm100(uint16_t period)
{
    if (period == 0) {
        return 0;
    }
    return std::min(kRpmPeriodConstant / period, kMaxRpm);
}

uint32_t PeriodToRpm107(uint16_t period, int32_t pulsesPerTwoRevolutions)
{
    if (period == 0) {
        return 0;
    }
    uint32_t q = period;
    if (pulsesPerTwoRevolutions == 2) {
        if (period >= 32767) {
            return kMinRpm;
        }
        q = 2u * period;
    } else if (pulsesPerTwoRevolutions == 4) {
        if (period > 16382) {
            return kMinRpm;
        }
        q = 4u * period;
    }
    return std::min((q / 2u + kRpmPeriodConstant) / q, kMaxRpm);
}

uint32_t PeriodToSpeed107(uint16_t period, int32_t numOfSpeedPulses, int32_t wheelCircumference)
{
    // Without pulses per wheel turn there is no speed to compute. A negative
    // circumference can only come from a corrupt record; it reads as 0.
    if (period == 0 || numOfSpeedPulses <= 0) {
        return 0;
    }
    // 64-bit so that values beyond the editors' limits (the unit's image holds
    // up to 255 pulses and a 65535 mm wheel) cannot wrap around.
    const uint64_t circumference = wheelCircumference > 0 ? static_cast<uint64_t>(wheelCircumference) : 0;
    const uint64_t c = static_cast<uint64_t>(numOfSpeedPulses) * 35555u;
    const uint64_t f = ((c / 2u + circumference * 1000000u) / c) * 24u;
    return static_cast<uint32_t>(std::min((period / 2u + f) / period, kMaxSpeed));
}

LiveValues DecodeLiveReport100(std::span<const uint8_t> report)
{
    if (report.size() < LIVE_REPORT_LENGTH_100) {
        return {};
    }
    LiveValues values = DecodeCommonFields(report);
    values.rpm = PeriodToRpm100(Word(report, kRpmPeriod));
    values.speed = PeriodToRpm100(Word(report, kSpeedPeriod));
    return values;
}

LiveValues DecodeLiveReport107(std::span<const uint8_t> report, const DeviceConfiguration& config)
{
    if (report.size() < LIVE_REPORT_LENGTH_107) {
        return {};
    }
    LiveValues values = DecodeCommonFields(report);
    values.rpm = PeriodToRpm107(Word(report, kRpmPeriod), config.PulsesPerTwoRevolutions);
    values.speed =
        PeriodToSpeed107(Word(report, kSpeedPeriod), config.NumOfSpeedPulses, config.WheelCircumference);
    values.rpmSpeedRatio = Word(report, kRatio);
    return values;
}

LiveValues DecodeLiveReport108(std::span<const uint8_t> report, const DeviceConfiguration& config)
{
    if (report.size() < LIVE_REPORT_LENGTH_108) {
        return {};
    }
    LiveValues values = DecodeLiveReport107(report, config);
    values.supplyVoltage = SupplyCountToMillivolts(report[kSupply]);
    // A reading of 255 is off the converter's scale; the highest voltage an
    // input can carry is the supply, so that is what is shown.
    uint32_t* readings[] = {&values.tpsVoltage,    &values.gearVoltage,   &values.inputVoltage1,
                            &values.inputVoltage2, &values.inputVoltage3, &values.inputVoltage4,
                            &values.inputVoltage5, &values.inputVoltage6};
    for (size_t i = 0; i < 8; ++i) {
        if (report[kTps + i] == 0xFF) {
            *readings[i] = values.supplyVoltage;
        }
    }
    return values;
}

LiveRaw MakeLiveRaw(std::span<const uint8_t> report)
{
    LiveRaw raw{};
    std::copy_n(report.begin(), std::min(report.size(), raw.size()), raw.begin());
    return raw;
}
