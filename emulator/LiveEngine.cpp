#include "LiveEngine.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// One ride of 24 s, repeated: idle in neutral, six up-shifts under full
// throttle, a cruise in sixth, five down-shifts with throttle blips, roll out.
constexpr uint64_t CYCLE_MS = 24000;
// The period of one turn a minute of the older units' wheel sensor at 1 km/h.
constexpr uint64_t kWheelTurnTicks = 2700000;
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

// rpm / speed ratios (rpm * 10 / km/h) of the six gears, as the factory calibrates them.
constexpr std::array<uint32_t, 6> GEAR_RATIO = {854, 645, 526, 459, 415, 386};

struct EngineState {
    uint32_t rpm = IDLE_RPM;
    uint8_t gear = 0;  // 0 neutral
    bool shifting = false;
    bool blipping = false;
    uint32_t throttlePercent = 0;  // of the TPS span
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
        s.throttlePercent = 95;
        return s;
    }
    if (t < CRUISE_END) {
        s.gear = 6;
        s.rpm = 9000;
        s.throttlePercent = 35;
        return s;
    }
    if (t < DOWN_END) {
        const uint64_t phase = (t - CRUISE_END) % DOWN_GEAR_MS;
        s.gear = static_cast<uint8_t>(6 - (t - CRUISE_END) / DOWN_GEAR_MS);
        s.rpm = static_cast<uint32_t>(9000 - phase * 4000 / DOWN_GEAR_MS);
        s.blipping = phase >= DOWN_GEAR_MS - DOWN_BLIP_MS;
        s.throttlePercent = s.blipping ? 50 : 0;
        return s;
    }
    const uint64_t rolled = t - DOWN_END;
    if (rolled < ROLL_OUT_MS) {
        s.gear = 1;
        s.rpm = static_cast<uint32_t>(5000 - rolled * (5000 - IDLE_RPM) / ROLL_OUT_MS);
    }
    return s;
}

// The converter count whose reading (43 mV per count) is nearest to `mv`;
// 255 is left out, because generation 108 reads it as off the scale.
uint8_t MillivoltsToCount(int32_t mv)
{
    const int32_t count = (std::max(mv, 0) + 21) / 43;
    return static_cast<uint8_t>(std::min(count, 254));
}

void PutU16(std::vector<uint8_t>& report, size_t offset, uint32_t value)
{
    value = std::min<uint32_t>(value, 0xFFFF);
    report[offset] = static_cast<uint8_t>(value & 0xFF);
    report[offset + 1] = static_cast<uint8_t>(value >> 8);
}

uint32_t GearRatio(const DeviceConfiguration& config, uint8_t gear)
{
    if (gear == 0) {
        return 0;
    }
    const int32_t configured = config.*kRpmSpeedRatioFields[gear - 1];
    return configured > 0 ? static_cast<uint32_t>(configured) : GEAR_RATIO[gear - 1];
}

// The time between two rpm pulses in the unit's timer ticks (22500000 ticks
// per two minutes). From 107 the unit sends it as measured and the host
// divides by the pulses per two revolutions; before, the unit scales it to
// one pulse per two revolutions itself.
uint32_t RpmPeriod(uint16_t generation, const DeviceConfiguration& config, uint32_t rpm)
{
    const int32_t pulses = config.PulsesPerTwoRevolutions;
    const uint32_t k = generation >= 107 && (pulses == 2 || pulses == 4) ? static_cast<uint32_t>(pulses) : 1;
    return (22500000 + k * rpm / 2) / (k * rpm);
}

// The time between two speed pulses in the same ticks, for `numerator` /
// `denominator` km/h; 0 when the unit has no speed sensor, the bike stands or
// the pulses come too seldom for the 16-bit timer.
uint32_t SpeedPeriod(uint16_t generation, const DeviceConfiguration& config, uint64_t numerator,
                     uint64_t denominator)
{
    if (generation < 107 && numerator != 0) {
        // One pulse a turn of a 2 m wheel: v km/h is 25 v / 3 turns a minute,
        // and a period p decodes as 22500000 / p of them, so p = 2700000 / v.
        const uint64_t period = (kWheelTurnTicks * denominator + numerator / 2) / numerator;
        return period > 0xFFFF ? 0 : static_cast<uint32_t>(period);
    }
    if (generation < 107 || numerator == 0 || config.NumOfSpeedPulses <= 0 ||
        config.WheelCircumference <= 0) {
        return 0;
    }
    // The host decodes speed = f / period, so the period is f / speed.
    const uint64_t c = static_cast<uint64_t>(config.NumOfSpeedPulses) * 35555u;
    const uint64_t f = ((c / 2 + static_cast<uint64_t>(config.WheelCircumference) * 1000000u) / c) * 24u;
    const uint64_t period = (f * denominator + numerator / 2) / numerator;
    return period > 0xFFFF ? 0 : static_cast<uint32_t>(std::max<uint64_t>(period, 1));
}

// Which of the unit's six input functions (1 shifter ... 6 deactivation) the
// engine is asking for now.
bool FunctionActive(int function, const EngineState& s, uint64_t t)
{
    switch (function) {
        case 1:
            return s.shifting;
        case 2:
            return s.blipping;
        case 4:
            return s.gear == 0 && (t / 5000) % 2 == 1;  // pit button pressed now and then
        case 5:
            return s.gear == 0;  // clutch pulled while idling
        default:
            return false;  // warm-up and deactivation stay off
    }
}

bool InputCarries(const DeviceConfiguration& config, int function)
{
    return std::any_of(kInputFeatureFields.begin(), kInputFeatureFields.end(), [&](ConfigField field) {
        return DecodeInputFeature(config.*field).function == function;
    });
}

bool OutputCarries(const DeviceConfiguration& config, int32_t function)
{
    return config.OutputFeature1 == function || config.OutputFeature2 == function;
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

uint32_t LiveEngine::Speed(const DeviceConfiguration& config, uint64_t elapsedMs)
{
    const EngineState s = StateAt(elapsedMs);
    const uint32_t ratio = GearRatio(config, s.gear);
    return ratio == 0 ? 0 : (s.rpm * 10 + ratio / 2) / ratio;
}

uint32_t LiveEngine::WheelTurns(const DeviceConfiguration& config, uint64_t elapsedMs)
{
    const EngineState s = StateAt(elapsedMs);
    const uint32_t ratio = GearRatio(config, s.gear);
    // 25 v / 3 turns a minute at v = rpm * 10 / ratio km/h.
    const uint32_t turns = ratio == 0 ? 0 : (s.rpm * 250 + ratio * 3 / 2) / (ratio * 3);
    return turns < 343 ? 0 : turns;
}

std::vector<uint8_t> LiveEngine::Report(uint16_t generation, const DeviceConfiguration& config,
                                        uint64_t elapsedMs)
{
    const EngineState s = StateAt(elapsedMs);
    const uint64_t t = elapsedMs % CYCLE_MS;
    std::vector<uint8_t> report(LiveReportLength(generation), 0);
    const uint32_t ratio = GearRatio(config, s.gear);
    PutU16(report, 0, RpmPeriod(generation, config, s.rpm));
    const uint32_t speedPeriod =
        ratio == 0 ? 0 : SpeedPeriod(generation, config, uint64_t{s.rpm} * 10, ratio);
    PutU16(report, 2, speedPeriod);

    const int32_t tpsMin = config.TPSMinVoltage;
    const int32_t tpsMax = config.TPSMaxVoltage;
    report[4] = MillivoltsToCount(tpsMin + (tpsMax - tpsMin) * static_cast<int32_t>(s.throttlePercent) / 100);
    report[5] = MillivoltsToCount(config.*kGearVoltageFields[s.gear]);

    uint8_t inputs = 0;
    for (size_t i = 0; i < kInputFeatureFields.size(); ++i) {
        const InputFeature feature = DecodeInputFeature(config.*kInputFeatureFields[i]);
        const bool known = feature.function >= 1 && feature.function <= 6;
        const bool active = known && FunctionActive(feature.function, s, t);
        if (active) {
            inputs |= static_cast<uint8_t>(1u << (feature.function - 1));
        }
        // Active high pulls the input to the supply, active low to ground;
        // an input without a function rests low.
        const bool high = known && (feature.polarity == 0 ? active : !active);
        report[6 + i] = high ? 230 : 10;
    }
    report[12] = inputs;

    const bool cut = s.shifting && InputCarries(config, 1);
    const bool blip = s.blipping && InputCarries(config, 2);
    uint8_t outputs = 0;
    outputs |= OutputCarries(config, 1) && config.ShiftLightRPM > 0 &&
                       s.rpm >= static_cast<uint32_t>(config.ShiftLightRPM)
                   ? 0x01
                   : 0;
    outputs |= blip && OutputCarries(config, 2) ? 0x02 : 0;
    outputs |= cut ? 0x04 : 0;  // the ignition cut is the unit's own
    outputs |= cut && OutputCarries(config, 3) ? 0x08 : 0;
    report[13] = outputs;
    report[14] = s.gear;
    report[15] = 1;
    if (report.size() >= 18) {
        PutU16(report, 16, speedPeriod == 0 ? 0 : ratio);
    }
    if (report.size() >= 19) {
        // 13.8 V with a slow ripple of +-0.3 V; 76.562 mV per count.
        const uint32_t phase = static_cast<uint32_t>(t % 4000);
        const uint32_t ripple = phase < 2000 ? phase * 600 / 2000 : (4000 - phase) * 600 / 2000;
        report[18] = static_cast<uint8_t>((13500 + ripple) * 1000 / 76562);
    }
    return report;
}
