#include "editor/LiveReadout.h"

#include <algorithm>
#include <charconv>

#include "config/DeviceConfiguration.h"

namespace {

// The converter's full scale and the widest span the live percentage uses.
constexpr int64_t kFullScaleMillivolts = 5000;

}  // namespace

int64_t RoundedRpm(uint32_t rpm)
{
    return (int64_t{rpm} + 5) / 10 * 10;
}

int32_t LiveThrottlePercent(uint32_t tpsMillivolts, ThrottleCalibration calibration)
{
    if (tpsMillivolts == 0) {
        return 0;
    }
    if (tpsMillivolts > kFullScaleMillivolts) {
        return 100;
    }
    const int64_t span =
        std::min<int64_t>(int64_t{calibration.open} - calibration.closed, kFullScaleMillivolts);
    if (span < 1) {
        return 0;
    }
    const int64_t above =
        std::clamp<int64_t>(int64_t{tpsMillivolts} - calibration.closed, 0, kFullScaleMillivolts);
    return ThresholdToPercent(static_cast<int32_t>(above), 0, static_cast<int32_t>(span));
}

std::optional<int32_t> TakenThrottlePercent(uint32_t tpsMillivolts, ThrottleCalibration calibration)
{
    if (calibration.open == calibration.closed) {
        return std::nullopt;
    }
    const int32_t tps = static_cast<int32_t>(std::min<uint32_t>(tpsMillivolts, INT32_MAX));
    return std::clamp(ThresholdToPercent(tps, calibration.closed, calibration.open), 1, 99);
}

std::string VoltText(uint32_t millivolts)
{
    const float volts = static_cast<float>(millivolts) / 1000.0f;
    // to_chars rounds the exact binary value as printf's "%.1f" does, but
    // never takes the decimal separator from the locale.
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(volts),
                                      std::chars_format::fixed, 1);
    return std::string(text.data(), result.ptr);
}

int GearItem(uint32_t gear)
{
    return static_cast<int>(std::min(gear, kLastGearItem));
}

GearSensorReadout GearSensor(const LiveValues& values, int gearDetection)
{
    switch (gearDetection) {
        case kGearBySensorVoltage:
            return {values.gearVoltage, VoltText(values.gearVoltage) + " V"};
        case kGearByRpmSpeedRatio:
            return {values.rpmSpeedRatio, std::to_string(values.rpmSpeedRatio)};
        default:
            return {std::nullopt, "---"};
    }
}

std::array<int, kLiveLeds> LedStates(const LiveValues& values)
{
    const std::array<uint32_t, kLiveLeds> fields = {
        values.inputShifter,   values.inputBlipper,      values.inputWarmUp,        values.inputPit,
        values.inputClutch,    values.inputDeactivation, values.outputRpmLed,       values.outputBlipper,
        values.outputIgnition, values.outputInjection,   values.powerFlag ? 1u : 0u};
    std::array<int, kLiveLeds> states{};
    std::transform(fields.begin(), fields.end(), states.begin(),
                   [](uint32_t field) { return field != 0 ? 1 : 0; });
    return states;
}

LiveReadout MakeLiveReadout(const LiveValues& values, ThrottleCalibration calibration, int gearDetection)
{
    LiveReadout readout;
    readout.rpm = RoundedRpm(values.rpm);
    readout.rpmText = std::to_string(readout.rpm);
    readout.speed = values.speed;
    readout.speedText = std::to_string(values.speed);
    readout.throttlePercent = LiveThrottlePercent(values.tpsVoltage, calibration);
    readout.throttleVoltText = VoltText(values.tpsVoltage) + " V";
    readout.throttlePercentText = std::to_string(readout.throttlePercent) + " %";
    readout.gearSensor = GearSensor(values, gearDetection);
    readout.gearItem = GearItem(values.gear);
    const std::array<uint32_t, 6> inputs = {values.inputVoltage1, values.inputVoltage2, values.inputVoltage3,
                                            values.inputVoltage4, values.inputVoltage5, values.inputVoltage6};
    std::transform(inputs.begin(), inputs.end(), readout.inputTexts.begin(), VoltText);
    readout.leds = LedStates(values);
    return readout;
}

std::array<int, kRawRows> RawRows(const LiveRaw& raw)
{
    std::array<int, kRawRows> rows{};
    rows[0] = raw[0] | (raw[1] << 8);
    rows[1] = raw[2] | (raw[3] << 8);
    for (int row = 2; row <= 13; ++row) {
        rows[row] = raw[row + 2];
    }
    rows[14] = raw[16] | (raw[17] << 8);
    rows[15] = raw[18];
    return rows;
}

std::array<bool, kRawRows> RawHighlight::Refresh(const LiveRaw& raw)
{
    const std::array<int, kRawRows> rows = RawRows(raw);
    std::array<bool, kRawRows> lit{};
    for (int row = 0; row < kRawRows; ++row) {
        if (rows[row] != shown[row]) {
            countdown[row] = kRefreshes;
        }
        lit[row] = countdown[row] > 0;
        if (countdown[row] > 0) {
            --countdown[row];
        }
    }
    shown = rows;
    return lit;
}
