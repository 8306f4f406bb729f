// What the live monitor shows for one live report, worked out without a
// display: the values of its gauges, the texts of its fields, the gear item,
// the LED states and the raw grid's rows with their highlight. The window
// only writes these into its controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/LiveData.h"

// The throttle calibration the editors hold (ID_SPINCTRL17, ID_SPINCTRL11),
// in millivolts.
struct ThrottleCalibration {
    int32_t closed = 0;
    int32_t open = 0;
};

// Items of the gear detection radio box.
inline constexpr int kGearBySensorVoltage = 0;
inline constexpr int kGearByRpmSpeedRatio = 1;

// The gear indicator's last item ("7+") stands for every higher gear.
inline constexpr uint32_t kLastGearItem = 7;

inline constexpr size_t kLiveLeds = 11;
inline constexpr int kRawRows = 16;

// rpm rounded to the nearest 10: 1234 -> 1230, 1235 -> 1240.
int64_t RoundedRpm(uint32_t rpm);

// The throttle shown live as a percentage of the calibrated span. 0 mV (no
// reading) is 0 %, above 5000 mV it is 100 %; a span above 5000 mV counts as
// 5000, a span below 1 mV gives 0 %. Above the open limit it passes 100.
int32_t LiveThrottlePercent(uint32_t tpsMillivolts, ThrottleCalibration calibration);

// The percentage the throttle button takes as the threshold setting, 1 to 99;
// none when both limits are equal (the setting then stays as it is).
std::optional<int32_t> TakenThrottlePercent(uint32_t tpsMillivolts, ThrottleCalibration calibration);

// Millivolts as volts with one decimal ("4.3"), from the single-precision
// quotient by 1000: 2450 mV is a little above 2.45 and shows as "2.5". Always
// with a decimal point, whatever the locale.
std::string VoltText(uint32_t millivolts);

// The item of the gear indicator for a reported gear.
int GearItem(uint32_t gear);

struct GearSensorReadout {
    std::optional<int64_t> gauge;  // none: the gauge keeps its value
    std::string text;
};
// The gear sensor by the detection method: the sensor voltage, the rpm/speed
// ratio, or "---" for any other method.
GearSensorReadout GearSensor(const LiveValues& values, int gearDetection);

// The LED states, 1 lit, 0 dark, in this order: in shifter, in blipper, in
// warm-up, in pit, in clutch, in deactivation, out rpm LED, out blipper, out
// ignition, out injection, power.
std::array<int, kLiveLeds> LedStates(const LiveValues& values);

struct LiveReadout {
    int64_t rpm = 0;
    std::string rpmText;
    int64_t speed = 0;
    std::string speedText;
    int32_t throttlePercent = 0;
    std::string throttleVoltText;
    std::string throttlePercentText;
    GearSensorReadout gearSensor;
    int gearItem = 0;
    std::array<std::string, 6> inputTexts;  // inputs 1 to 6, volts without unit
    std::array<int, kLiveLeds> leds{};
};
LiveReadout MakeLiveReadout(const LiveValues& values, ThrottleCalibration calibration, int gearDetection);

// The raw grid's rows: rpm period, speed period (16 bits, little-endian),
// bytes 4 to 15 one a row, the rpm/speed ratio (16 bits), byte 18.
std::array<int, kRawRows> RawRows(const LiveRaw& raw);

// Which rows of the raw grid glow: a row whose value changed stays
// highlighted for five refreshes (half a second at the 10 Hz poll). The first
// record is compared with an all-zero one.
class RawHighlight {
public:
    static constexpr int kRefreshes = 5;
    // Takes the record being shown; true for the rows to highlight now.
    std::array<bool, kRawRows> Refresh(const LiveRaw& raw);

private:
    std::array<int, kRawRows> shown{};
    std::array<int, kRawRows> countdown{};
};
