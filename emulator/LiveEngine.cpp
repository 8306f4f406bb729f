#include "LiveEngine.h"

#include <algorithm>
#include <array>

namespace {

// One ride of 24 s, repeated: idle in neutral, six up-shifts under full
// throttle, a cruise in sixth, five down-shifts with throttle blips, roll out.
constexpr uint64_t CYCLE_MS = 24000;
constexpr uint64_t IDLE_END = 2000;
constexpr uint64_t UP_GEAR_MS = 1600;  // per gear, the last 100 ms are the shift cut
constexpr uint64_t UP_CUT_MS = 100;
constexpr uint64_t UP_END = IDLE_END + 6 * UP_GEAR_MS;
constexpr uint64_t CRUISE_END = UP_END + 2000;
constexpr uint64_t DOWN_GEAR_MS = 1200;  // per gear, the last 80 ms are the blip
constexpr uint64_t DOWN_BLIP_MS = 80;
constexpr uint64_t DOWN_END = CRUISE_END + 5 * DOWN_GEAR_MS;
constexpr uint64_t ROLL_OUT_MS = 1000;
constexpr uint32_t IDLE_RPM = 1300;

// rpm / speed ratios of the six gears, as a calibrated bike would have them.
constexpr std::array<uint32_t, 6> GEAR_RATIO = {854, 645, 526, 459, 415, 386};

struct EngineState {
    uint32_t rpm = IDLE_RPM;
    uint8_t gear = 0;  // 0 neutral
    bool shifting = false;
    bool blipping = false;
    uint32_t throttleMv = 700;
};

EngineState StateAt(uint64_t elapsedMs)
{
    const uint64_t t = elapsedMs % CYCLE_MS;
    EngineState s;
    if (t < IDLE_END) {
        return s;
    }
    if (t < UP_END) {
        const uint64_t phase = (t - IDLE_END) % UP_GEAR_MS;
        s.gear = static_cast<uint8_t>(1 + (t - IDLE_END) / UP_GEAR_MS);
        const uint64_t sweep = std::min<uint64_t>(phase, UP_GEAR_MS - UP_CUT_MS);
        s.rpm = static_cast<uint32_t>(4500 + sweep * 7000 / (UP_GEAR_MS - UP_CUT_MS));
        s.shifting = phase >= UP_GEAR_MS - UP_CUT_MS && s.gear < 6;
        s.throttleMv = 4000;
        return s;
    }
    if (t < CRUISE_END) {
        s.gear = 6;
        s.rpm = 9000;
        s.throttleMv = 2000;
        return s;
    }
    if (t < DOWN_END) {
        const uint64_t phase = (t - CRUISE_END) % DOWN_GEAR_MS;
        s.gear = static_cast<uint8_t>(6 - (t - CRUISE_END) / DOWN_GEAR_MS);
        s.rpm = static_cast<uint32_t>(9000 - phase * 4000 / DOWN_GEAR_MS);
        s.blipping = phase >= DOWN_GEAR_MS - DOWN_BLIP_MS;
        s.throttleMv = s.blipping ? 3000 : 700;
        return s;
    }
    const uint64_t rolled = t - DOWN_END;
    if (rolled < ROLL_OUT_MS) {
        s.gear = 1;
        s.rpm = static_cast<uint32_t>(5000 - rolled * (5000 - IDLE_RPM) / ROLL_OUT_MS);
    }
    return s;
}

uint8_t MillivoltsToCount(uint32_t mv)
{
    return static_cast<uint8_t>(std::min<uint32_t>(mv / 43, 254));
}

void PutU16(std::vector<uint8_t>& report, size_t offset, uint32_t value)
{
    value = std::min<uint32_t>(value, 0xFFFF);
    report[offset] = static_cast<uint8_t>(value & 0xFF);
    report[offset + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

uint32_t LiveReportLength(uint16_t generation)
{
    if (generation >= 108) {
        return 19;
    }
    return generation == 107 ? 18 : 16;
}

uint32_t LiveEngine::Rpm(uint64_t elapsedMs)
{
    return StateAt(elapsedMs).rpm;
}

uint8_t LiveEngine::Gear(uint64_t elapsedMs)
{
    return StateAt(elapsedMs).gear;
}

std::vector<uint8_t> LiveEngine::Report(uint16_t generation, uint64_t elapsedMs)
{
    const EngineState s = StateAt(elapsedMs);
    std::vector<uint8_t> report(LiveReportLength(generation), 0);
    const uint32_t ratio = s.gear == 0 ? 0 : GEAR_RATIO[s.gear - 1];
    const uint32_t speed = ratio == 0 ? 0 : s.rpm * 10 / ratio;  // km/h
    PutU16(report, 0, 22500000 / s.rpm);
    // Speed period for 4 pulses per wheel turn on a 2000 mm wheel.
    PutU16(report, 2, speed == 0 ? 0 : 337512 / speed);
    report[4] = MillivoltsToCount(s.throttleMv);
    report[5] = MillivoltsToCount(600 + 600u * s.gear);
    const uint64_t t = elapsedMs % CYCLE_MS;
    report[6] = s.shifting ? 200 : 20;
    report[7] = s.blipping ? 200 : 20;
    for (size_t input = 2; input < 6; ++input) {
        const bool high = (t / (700 + input * 300)) % 2 == 1;
        report[6 + input] = high ? 230 : 10;
    }
    uint8_t inputs = 0;
    inputs |= s.shifting ? 0x01 : 0;
    inputs |= s.blipping ? 0x02 : 0;
    inputs |= (s.gear == 0 && (t / 5000) % 2 == 1) ? 0x08 : 0;  // pit button pressed now and then
    inputs |= s.gear == 0 ? 0x10 : 0;                           // clutch pulled while idling
    report[12] = inputs;
    uint8_t outputs = 0;
    outputs |= s.rpm >= 11000 ? 0x01 : 0;
    outputs |= s.blipping ? 0x02 : 0;
    outputs |= s.shifting ? 0x0C : 0;
    report[13] = outputs;
    report[14] = s.gear;
    report[15] = 1;
    if (report.size() >= 18) {
        PutU16(report, 16, ratio);
    }
    if (report.size() >= 19) {
        // 13.8 V with a slow ripple of +-0.3 V; 76.562 mV per count.
        const uint32_t phase = static_cast<uint32_t>(t % 4000);
        const uint32_t ripple = phase < 2000 ? phase * 600 / 2000 : (4000 - phase) * 600 / 2000;
        report[18] = static_cast<uint8_t>((13500 + ripple) * 1000 / 76562);
    }
    return report;
}
