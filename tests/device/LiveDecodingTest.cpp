// Live report to physical values: periods to rpm and speed for both
// families, converter counts to millivolts, bits, the 108 supply voltage and
// the raw bytes. Expected values are worked out by hand from the formulas.
#include <gtest/gtest.h>

#include <vector>

#include "DeviceRecords.h"
#include "config/DeviceConfiguration.h"
#include "device/DeviceResult.h"
#include "device/LiveData.h"
#include "device/VantrelGenerations.h"

namespace {

DeviceConfiguration SpeedConfig(int32_t pulses, int32_t speedPulses, int32_t wheel)
{
    DeviceConfiguration config;
    ClearConfiguration(config);
    config.PulsesPerTwoRevolutions = pulses;
    config.NumOfSpeedPulses = speedPulses;
    config.WheelCircumference = wheel;
    return config;
}

TEST(LiveDecoding, ConverterCountsToMillivolts)
{
    EXPECT_EQ(CountToMillivolts(0), 0u);
    EXPECT_EQ(CountToMillivolts(1), 50u);     // 43 rounds up to 50
    EXPECT_EQ(CountToMillivolts(17), 750u);   // 731
    EXPECT_EQ(CountToMillivolts(24), 1050u);  // 1032
    EXPECT_EQ(CountToMillivolts(25), 1100u);  // 1075: half way rounds up
    EXPECT_EQ(CountToMillivolts(100), 4300u);
    EXPECT_EQ(CountToMillivolts(255), 10950u);  // 10965 -> 10950
    EXPECT_EQ(SupplyCountToMillivolts(0), 0u);
    EXPECT_EQ(SupplyCountToMillivolts(160), 12250u);  // 12249 + 25 -> 12250
    EXPECT_EQ(SupplyCountToMillivolts(180), 13800u);  // 13781 + 25 -> 13800
    EXPECT_EQ(SupplyCountToMillivolts(255), 19500u);  // 19523 + 25 -> 19500
}

TEST(LiveDecoding, PeriodsOfTheFirstFamily)
{
    struct Case {
        uint16_t period;
        uint32_t rpm;
    };
    const Case cases[] = {{0, 0},        {22500, 1000}, {1000, 16000}, {1406, 16000},
                          {1407, 15991}, {7500, 3000},  {65535, 343}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.period);
        EXPECT_EQ(PeriodToRpm100(c.period), c.rpm);
        // The speed period goes through the same rule.
        const LiveValues values = DecodeLiveReport100(LiveReport(16, c.period, c.period));
        EXPECT_EQ(values.rpm, c.rpm);
        EXPECT_EQ(values.speed, c.rpm);
    }
}

TEST(LiveDecoding, RpmOfTheSecondFamilyByPulsesPerTwoRevolutions)
{
    struct Case {
        int32_t pulses;
        uint16_t period;
        uint32_t rpm;
    };
    const Case cases[] = {
        {1, 0, 0},        {2, 0, 0},        {4, 0, 0},
        {1, 22500, 1000}, {2, 11250, 1000}, {4, 5625, 1000},
        {2, 40000, 343},  {2, 32767, 343},  {2, 32766, 343},  // q 65532: 343.8 truncated
        {4, 16383, 343},  {4, 16382, 343},  {4, 1000, 5625},
        {1, 1000, 16000}, {1, 7499, 3000},   // (3749 + 22500000) / 7499 = 3000.9
        {1, 7501, 3000},                     // 2999.6 rounds up to 3000
        {0, 22500, 1000}, {3, 22500, 1000},  // other values count the period as is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "pulses " << c.pulses << " period " << c.period);
        EXPECT_EQ(PeriodToRpm107(c.period, c.pulses), c.rpm);
    }
}

TEST(LiveDecoding, SpeedOfTheSecondFamily)
{
    struct Case {
        int32_t speedPulses;
        int32_t wheel;
        uint16_t period;
        uint32_t speed;
    };
    const Case cases[] = {
        {4, 2000, 1000, 338},  // c 142220, f 14063 * 24 = 337512
        {4, 2000, 0, 0},
        {4, 2000, 1, 400},     // capped
        {1, 1000, 60000, 11},  // c 35555, f 28125 * 24 = 675000
        {32, 3000, 65535, 1},  // c 1137760, f 2637 * 24 = 63288
        {0, 2000, 1000, 0},    // no pulses configured: no speed rather than a division by 0
        {-3, 2000, 1000, 0},
        {4, 0, 1000, 0},  // no wheel: f 0
        // Beyond the editors' limits but within what an image can hold: the
        // product 65535 * 10^6 must not wrap in 32 bits (it would give 11).
        {1, 65535, 65535, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.speedPulses << " pulses, wheel " << c.wheel << ", period " << c.period);
        EXPECT_EQ(PeriodToSpeed107(c.period, c.speedPulses, c.wheel), c.speed);
    }
}

TEST(LiveDecoding, FieldsOfAFullReport)
{
    std::vector<uint8_t> report = LiveReport(19, 22500, 0);
    const uint8_t readings[] = {100, 52, 0, 1, 17, 118, 254, 255};  // bytes 4 .. 11
    std::copy(std::begin(readings), std::end(readings), report.begin() + 4);
    report[12] = 0xC0 | 0x25;  // shifter, warm-up, deactivation; bits 6, 7 ignored
    report[13] = 0xF0 | 0x0A;  // blipper, injection; bits 4-7 ignored
    report[14] = 4;
    report[15] = 0xFE;  // bit 0 clear: power flag false
    report[16] = 0x34;
    report[17] = 0x12;
    report[18] = 160;

    const LiveValues v = DecodeLiveReport100(report);
    EXPECT_EQ(v.rpm, 1000u);
    EXPECT_EQ(v.speed, 0u);
    EXPECT_EQ(v.tpsVoltage, 4300u);
    EXPECT_EQ(v.gearVoltage, 2250u);
    EXPECT_EQ(v.inputVoltage1, 0u);
    EXPECT_EQ(v.inputVoltage2, 50u);
    EXPECT_EQ(v.inputVoltage3, 750u);
    EXPECT_EQ(v.inputVoltage4, 5050u);
    EXPECT_EQ(v.inputVoltage5, 10900u);  // 10922
    EXPECT_EQ(v.inputVoltage6, 10950u);
    EXPECT_EQ(v.inputShifter, 1u);
    EXPECT_EQ(v.inputBlipper, 0u);
    EXPECT_EQ(v.inputWarmUp, 1u);
    EXPECT_EQ(v.inputPit, 0u);
    EXPECT_EQ(v.inputClutch, 0u);
    EXPECT_EQ(v.inputDeactivation, 1u);
    EXPECT_EQ(v.outputRpmLed, 0u);
    EXPECT_EQ(v.outputBlipper, 1u);
    EXPECT_EQ(v.outputIgnition, 0u);
    EXPECT_EQ(v.outputInjection, 1u);
    EXPECT_EQ(v.gear, 4u);
    EXPECT_FALSE(v.powerFlag);
    // The first family knows nothing of bytes 16 to 18.
    EXPECT_EQ(v.rpmSpeedRatio, 0u);
    EXPECT_EQ(v.supplyVoltage, 0u);

    const DeviceConfiguration config = SpeedConfig(1, 4, 2000);
    const LiveValues v107 = DecodeLiveReport107(std::span(report).first(18), config);
    EXPECT_EQ(v107.rpm, 1000u);
    EXPECT_EQ(v107.rpmSpeedRatio, 0x1234u);
    EXPECT_EQ(v107.supplyVoltage, 0u);
    EXPECT_EQ(v107.inputVoltage6, 10950u);

    const LiveValues v108 = DecodeLiveReport108(report, config);
    EXPECT_EQ(v108.supplyVoltage, 12250u);
    EXPECT_EQ(v108.rpmSpeedRatio, 0x1234u);
    // Only the saturated reading (byte 11) is replaced by the supply voltage.
    EXPECT_EQ(v108.inputVoltage5, 10900u);
    EXPECT_EQ(v108.inputVoltage6, 12250u);
    EXPECT_EQ(v108.tpsVoltage, 4300u);
}

TEST(LiveDecoding, EachBinaryBitLightsOnlyItsOwnField)
{
    // Byte 12 bits 0 to 5, then byte 13 bits 0 to 3; the other bits are unused.
    using Field = uint32_t LiveValues::*;
    const Field fields[] = {&LiveValues::inputShifter,   &LiveValues::inputBlipper,
                            &LiveValues::inputWarmUp,    &LiveValues::inputPit,
                            &LiveValues::inputClutch,    &LiveValues::inputDeactivation,
                            &LiveValues::outputRpmLed,   &LiveValues::outputBlipper,
                            &LiveValues::outputIgnition, &LiveValues::outputInjection};
    for (const size_t byte : {size_t{12}, size_t{13}}) {
        for (int bit = 0; bit < 8; ++bit) {
            SCOPED_TRACE(testing::Message() << "byte " << byte << " bit " << bit);
            std::vector<uint8_t> report = LiveReport(16, 0, 0);
            report[byte] = static_cast<uint8_t>(1u << bit);
            const LiveValues values = DecodeLiveReport100(report);
            const int lit = byte == 12 ? (bit < 6 ? bit : -1) : (bit < 4 ? 6 + bit : -1);
            for (int i = 0; i < 10; ++i) {
                EXPECT_EQ(values.*fields[i], i == lit ? 1u : 0u) << "field " << i;
            }
        }
    }
}

TEST(LiveDecoding, EverySaturatedReadingOf108BecomesTheSupplyVoltage)
{
    std::vector<uint8_t> report = LiveReport(19, 0, 0);
    std::fill(report.begin() + 4, report.begin() + 12, 255);
    report[15] = 1;
    report[18] = 255;
    const LiveValues v = DecodeLiveReport108(report, SpeedConfig(1, 4, 2000));
    for (uint32_t reading : {v.tpsVoltage, v.gearVoltage, v.inputVoltage1, v.inputVoltage2, v.inputVoltage3,
                             v.inputVoltage4, v.inputVoltage5, v.inputVoltage6}) {
        EXPECT_EQ(reading, 19500u);
    }
    EXPECT_TRUE(v.powerFlag);

    // The spot check of the unit's documentation: byte 7 at 255, supply 160.
    report = LiveReport(19, 0, 0);
    report[7] = 255;
    report[18] = 160;
    EXPECT_EQ(DecodeLiveReport108(report, SpeedConfig(1, 4, 2000)).inputVoltage2, 12250u);
}

TEST(LiveDecoding, RawBytesArePaddedWithZeros)
{
    std::vector<uint8_t> report(16);
    for (size_t i = 0; i < report.size(); ++i) {
        report[i] = static_cast<uint8_t>(0xA0 + i);
    }
    LiveRaw raw = MakeLiveRaw(report);
    EXPECT_EQ(raw[0], 0xA0);
    EXPECT_EQ(raw[15], 0xAF);
    EXPECT_EQ(raw[16], 0);
    EXPECT_EQ(raw[17], 0);
    EXPECT_EQ(raw[18], 0);

    report.push_back(0xB0);
    report.push_back(0xB1);
    raw = MakeLiveRaw(report);
    EXPECT_EQ(raw[17], 0xB1);
    EXPECT_EQ(raw[18], 0);
}

TEST(LiveDecoding, NoLiveDataBeforeTheFirstRead)
{
    Vantrel108 device(MakeUnitRecord(108));
    LiveValues values;
    values.rpm = 1234;
    LiveRaw raw{};
    raw[0] = 0x55;
    EXPECT_EQ(device.GetLiveValues(&values), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(device.GetLiveRaw(&raw), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(values.rpm, 1234u);
    EXPECT_EQ(raw[0], 0x55);
    EXPECT_EQ(device.GetLiveValues(nullptr), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(device.GetLiveRaw(nullptr), ERROR_NOT_AVAILABLE);
}

}  // namespace
