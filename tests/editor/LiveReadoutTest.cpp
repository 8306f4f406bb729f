// What the live monitor shows, computed without a display: rpm rounding, the
// throttle percentages of the view and of the throttle button, volt texts,
// the gear sensor by detection method, the gear item, LEDs and the raw grid.
#include "editor/LiveReadout.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

// A generation 108 report: rpm period 18233, speed period 1000, throttle
// count 58, gear sensor 57, inputs 100 0 23 128 1 0, inputs 0x2A, outputs
// 0x05, gear 9, power 1, ratio 57, supply 160.
const LiveRaw kReport = {0x39, 0x47, 0xE8, 0x03, 58, 57, 100, 0, 23, 128, 1, 0, 0x2A, 0x05, 9, 1, 57, 0, 160};

std::vector<int> LitRows(const std::array<bool, kRawRows>& lit)
{
    std::vector<int> rows;
    for (int row = 0; row < kRawRows; ++row) {
        if (lit[row]) {
            rows.push_back(row);
        }
    }
    return rows;
}

TEST(LiveReadout, RpmIsRoundedToTheNearestTen)
{
    for (const auto& [rpm, shown] : {std::pair{1234u, "1230"}, std::pair{1235u, "1240"}, std::pair{4u, "0"},
                                     std::pair{16000u, "16000"}}) {
        LiveValues values;
        values.rpm = rpm;
        const LiveReadout readout = MakeLiveReadout(values, {500, 4500}, kGearBySensorVoltage);
        EXPECT_EQ(readout.rpmText, shown) << rpm;
        EXPECT_EQ(std::to_string(readout.rpm), shown) << "the gauge shows the rounded value too";
    }
}

TEST(LiveReadout, ThrottlePercentageOfTheView)
{
    struct Case {
        uint32_t millivolts;
        int32_t closed, open;
        int32_t percent;
    };
    for (const Case& c : {Case{0, 500, 4500, 0}, Case{5050, 500, 4500, 100}, Case{4900, 500, 4500, 110},
                          Case{300, 500, 4500, 0}, Case{2500, 500, 500, 0}, Case{2500, 3000, 1000, 0},
                          Case{1500, 0, 5000, 30}, Case{2500, 500, 4500, 50}, Case{5000, 0, 5000, 100},
                          // A span above 5000 mV counts as 5000.
                          Case{3000, 0, 8000, 60}}) {
        LiveValues values;
        values.tpsVoltage = c.millivolts;
        const LiveReadout readout = MakeLiveReadout(values, {c.closed, c.open}, kGearBySensorVoltage);
        EXPECT_EQ(readout.throttlePercent, c.percent) << c.millivolts << " " << c.closed << " " << c.open;
        EXPECT_EQ(readout.throttlePercentText, std::to_string(c.percent) + " %");
    }
}

TEST(LiveReadout, ThrottleButtonTakesAPercentageBetween1And99)
{
    struct Case {
        uint32_t millivolts;
        int32_t closed, open;
        std::optional<int32_t> taken;
    };
    for (const Case& c : {Case{2500, 500, 4500, 50}, Case{400, 500, 4500, 1}, Case{4600, 500, 4500, 99},
                          Case{2500, 4500, 500, 50}, Case{1900, 500, 4500, 35},
                          // Equal limits give no scale: nothing is taken.
                          Case{2500, 1000, 1000, std::nullopt}}) {
        EXPECT_EQ(TakenThrottlePercent(c.millivolts, {c.closed, c.open}), c.taken)
            << c.millivolts << " " << c.closed << " " << c.open;
    }
}

TEST(LiveReadout, VoltsFromTheSinglePrecisionQuotient)
{
    // 2.45 and 0.15 are a little above in single precision (below in double),
    // 10.95 a little below.
    for (const auto& [millivolts, text] :
         {std::pair{4300u, "4.3"}, std::pair{0u, "0.0"}, std::pair{2450u, "2.5"}, std::pair{150u, "0.2"},
          std::pair{10950u, "10.9"}, std::pair{50u, "0.1"}, std::pair{19500u, "19.5"}}) {
        EXPECT_EQ(VoltText(millivolts), text) << millivolts;
    }
}

TEST(LiveReadout, VoltTextsKeepTheirPointUnderAGermanLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "de_DE.UTF-8 is not installed: run tools/install-deps.sh";
    LiveValues values;
    values.tpsVoltage = 4300;
    values.inputVoltage1 = 1000;
    const LiveReadout readout = MakeLiveReadout(values, {700, 4300}, kGearBySensorVoltage);
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(readout.throttleVoltText, "4.3 V");
    EXPECT_EQ(readout.inputTexts[0], "1.0");
    EXPECT_EQ(readout.throttlePercentText, "100 %");
}

TEST(LiveReadout, GearSensorByDetectionMethod)
{
    LiveValues values;
    values.gearVoltage = 2450;
    values.rpmSpeedRatio = 57;
    const GearSensorReadout voltage = GearSensor(values, kGearBySensorVoltage);
    EXPECT_EQ(voltage.gauge, 2450);
    EXPECT_EQ(voltage.text, "2.5 V");
    const GearSensorReadout ratio = GearSensor(values, kGearByRpmSpeedRatio);
    EXPECT_EQ(ratio.gauge, 57);
    EXPECT_EQ(ratio.text, "57");
    const GearSensorReadout none = GearSensor(values, 2);
    EXPECT_EQ(none.gauge, std::nullopt) << "the gauge keeps its value";
    EXPECT_EQ(none.text, "---");
}

TEST(LiveReadout, GearItemStopsAtSeven)
{
    for (const auto& [gear, item] :
         {std::pair{0u, 0}, std::pair{6u, 6}, std::pair{7u, 7}, std::pair{9u, 7}, std::pair{200u, 7}}) {
        EXPECT_EQ(GearItem(gear), item) << gear;
    }
}

TEST(LiveReadout, EachFieldLightsItsOwnLed)
{
    uint32_t LiveValues::*const fields[] = {&LiveValues::inputShifter,   &LiveValues::inputBlipper,
                                            &LiveValues::inputWarmUp,    &LiveValues::inputPit,
                                            &LiveValues::inputClutch,    &LiveValues::inputDeactivation,
                                            &LiveValues::outputRpmLed,   &LiveValues::outputBlipper,
                                            &LiveValues::outputIgnition, &LiveValues::outputInjection};
    for (size_t led = 0; led < std::size(fields); ++led) {
        LiveValues values;
        values.*fields[led] = 1;
        std::array<int, kLiveLeds> expected{};
        expected[led] = 1;
        EXPECT_EQ(LedStates(values), expected) << led;
    }
    LiveValues power;
    power.powerFlag = true;
    EXPECT_EQ(LedStates(power)[10], 1);
    EXPECT_EQ(LedStates(LiveValues{}), (std::array<int, kLiveLeds>{}));
}

TEST(LiveReadout, InputsInTheirOrder)
{
    LiveValues values;
    values.inputVoltage1 = 4300;
    values.inputVoltage2 = 0;
    values.inputVoltage3 = 1000;
    values.inputVoltage4 = 5500;
    values.inputVoltage5 = 50;
    values.inputVoltage6 = 12250;
    values.speed = 338;
    const LiveReadout readout = MakeLiveReadout(values, {500, 4500}, kGearBySensorVoltage);
    EXPECT_EQ(readout.inputTexts, (std::array<std::string, 6>{"4.3", "0.0", "1.0", "5.5", "0.1", "12.2"}));
    EXPECT_EQ(readout.speed, 338);
    EXPECT_EQ(readout.speedText, "338");
}

TEST(RawGrid, RowsOfAReport)
{
    EXPECT_EQ(RawRows(kReport),
              (std::array<int, kRawRows>{18233, 1000, 58, 57, 100, 0, 23, 128, 1, 0, 42, 5, 9, 1, 57, 160}));
}

TEST(RawGrid, ChangedRowsGlowForFiveRefreshes)
{
    RawHighlight highlight;
    // The first record is compared with zeros: every non-zero row glows.
    for (int refresh = 1; refresh <= 5; ++refresh) {
        EXPECT_EQ(LitRows(highlight.Refresh(kReport)),
                  (std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 15}))
            << "refresh " << refresh;
    }
    EXPECT_TRUE(LitRows(highlight.Refresh(kReport)).empty());

    // A new gear lights its own row only, and a change restarts the count.
    LiveRaw raw = kReport;
    raw[14] = 3;
    EXPECT_EQ(LitRows(highlight.Refresh(raw)), std::vector<int>{12});
    raw[14] = 4;
    for (int refresh = 1; refresh <= 5; ++refresh) {
        EXPECT_EQ(LitRows(highlight.Refresh(raw)), std::vector<int>{12}) << "refresh " << refresh;
    }
    EXPECT_TRUE(LitRows(highlight.Refresh(raw)).empty());

    // Blanking is a refresh too: the values that drop to 0 glow.
    raw[16] = 0;
    raw[18] = 0;
    EXPECT_EQ(LitRows(highlight.Refresh(raw)), (std::vector<int>{14, 15}));
}

}  // namespace
