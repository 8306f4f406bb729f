#include <gtest/gtest.h>

#include <array>

#include "config/ConfigurationImage.h"

namespace {

// Generation-100 defaults as the unit stores them. Voltages: (mV + 21) * 1000 / 42307,
// rpm: 22500000 / rpm, delays in 10 ms and warm-up times in 100 ms steps.
const uint8_t kBaseDefaultsImage[] = {
    0x01,                                      // 0 short format
    0x76, 0x34, 0x3B, 0x4C, 0x5A, 0x68, 0x71,  // 1-7 N..6: 5000 2200 2500 3200 3800 4400 4800 mV
    2, 4, 6, 8, 10, 0,                         // 8-13 inputs
    1, 2,                                      // 14-15 outputs
    0xCA, 0x08,                                // 16 shift light 10000 rpm -> period 2250
    0x4C, 0x1D,                                // 18 warm-up limit 3000 rpm -> 7500
    // 20-99 blipper rows, gears 2..6: 0 0, 80 (0x50) from 3000 to 13000 rpm, 0 0 0
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  //
    // 100-179 shifter rows, gears 1..5: 0 0, then 60 56 52 50 48 ms
    0, 0, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60,  //
    0, 0, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56,  //
    0, 0, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52,  //
    0, 0, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,  //
    0, 0, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48,  //
    0x34,                                                          // 180 threshold 2200 mV
    0,                                                             // 181 one pulse -> code 0
    10, 10,                                                        // 182-183 delays 100 ms
    15, 2,                                                         // 184-185 warm-up 1500 ms, 200 ms
    2, 0,                                                          // 186 shifting mode, 187 ignition mode
    0, 0x76,                                                       // 188-189 TPS 0 and 5000 mV
    5,                                                             // 190 DeltaT
    0, 0, 0,                                                       // 191-193
    0, 0,                                                          // 194-195
};
static_assert(sizeof(kBaseDefaultsImage) == 196);

// Generation-108 defaults with shift light 16000 rpm, 4 pulses, shifting delay
// 155 ms, warm-up period 1550 ms, gear detection by ratio, blipper gear-2 cell
// 1000 rpm 220 ms and shifter gear-5 cell 16000 rpm 150 ms.
const uint8_t kGen108Image[] = {
    0x02,                                      // 0 long format
    0x76, 0x34, 0x3B, 0x4C, 0x5A, 0x68, 0x71,  // 1-7 gear voltages as above
    2, 4, 6, 8, 10, 0,                         // 8-13
    1, 2,                                      // 14-15
    0x7E, 0x05,                                // 16 16000 rpm -> 1406
    0xF2, 0x2B,                                // 18 2000 rpm -> 11250
    220, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,  // 20
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,    //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,    //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,    //
    0, 0, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50, 0, 0, 0,    //
    0, 0, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60,                       // 100
    0, 0, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56, 56,                       //
    0, 0, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52,                       //
    0, 0, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50,                       //
    0, 0, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 48, 150,                      //
    0x19,        // 180 threshold 1060 mV
    2,           // 181 four pulses -> code 2
    15, 10,      // 182 155 ms truncated to 15, 183 100 ms
    15, 2,       // 184 1550 ms truncated to 15, 185 200 ms
    2, 0,        // 186-187
    0x11, 0x66,  // 188-189 TPS 700 and 4300 mV
    5,           // 190
    0, 0, 0,     // 191-193
    0x56, 0x03, 0x85, 0x02, 0x0E, 0x02, 0xCB, 0x01, 0x9F, 0x01, 0x82, 0x01,  // 194 ratios 854 645 526 459 415
                                                                             // 386
    4,                                                                       // 206 speed pulses
    1,                                                                       // 207 gear detection
    0xD0, 0x07,                                                              // 208 wheel 2000
    0, 0,                                                                    // 210-211
};
static_assert(sizeof(kGen108Image) == 212);

DeviceConfiguration Gen108GoldenRecord()
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.ShiftLightRPM = 16000;
    config.PulsesPerTwoRevolutions = 4;
    config.DelayBetweenShifting = 155;
    config.WarmUpPeriod = 1550;
    config.GearDetection = 1;
    config.BlipperMap[0][0] = 220;
    config.ShifterMap[4][15] = 150;
    return config;
}

ConfigurationImage Bytes(std::span<const uint8_t> bytes)
{
    return {bytes.begin(), bytes.end()};
}

TEST(EncodeConfigurationImage, MatchesTheGoldenImages)
{
    EXPECT_EQ(EncodeConfigurationImage(MakeDefaultConfiguration(DefaultsFamily::Base), ImageFormat::Short),
              Bytes(kBaseDefaultsImage));
    EXPECT_EQ(EncodeConfigurationImage(Gen108GoldenRecord(), ImageFormat::Long), Bytes(kGen108Image));
}

TEST(DecodeConfigurationImage, DecodesTheGoldenImage)
{
    // Read back: codes 0x76 0x34 0x3B 0x4C 0x5A 0x68 0x71 times 43 mV rounded to
    // 50 mV; 0x19 0x11 0x66 likewise; 155 ms and 1550 ms lost their last step.
    DeviceConfiguration expected = Gen108GoldenRecord();
    const int32_t gears[] = {5050, 2250, 2550, 3250, 3850, 4450, 4850};
    for (size_t i = 0; i < kGearVoltageFields.size(); ++i) {
        expected.*kGearVoltageFields[i] = gears[i];
    }
    expected.TPSThresholdVoltage = 1100;
    expected.TPSMinVoltage = 750;
    expected.TPSMaxVoltage = 4400;
    expected.DelayBetweenShifting = 150;
    expected.WarmUpPeriod = 1500;

    DeviceConfiguration config;
    ASSERT_TRUE(DecodeConfigurationImage(kGen108Image, ImageFormat::Long, config));
    EXPECT_EQ(config, expected);
}

// record -> image -> record changes only what the unit's scales quantise:
// voltages come back one 50 mV step higher here (42.307 mV per code written,
// 43 mV read), rpm go through the period and back, times lose what is below
// 10 ms or 100 ms, and the short image drops the speed-sensor fields.
TEST(ConfigurationImage, EveryFamilysDefaultsRoundTrip)
{
    struct Case {
        DefaultsFamily family;
        ImageFormat format;
        int32_t threshold, min, max;  // read-back TPS voltages
    };
    const Case cases[] = {
        {DefaultsFamily::Base, ImageFormat::Short, 2250, 0, 5050},
        {DefaultsFamily::Gen103, ImageFormat::Short, 1100, 750, 4400},
        {DefaultsFamily::Gen107, ImageFormat::Long, 1100, 750, 4400},
        {DefaultsFamily::Gen108, ImageFormat::Long, 1100, 750, 4400},
    };
    for (const Case& c : cases) {
        const DeviceConfiguration original = MakeDefaultConfiguration(c.family);
        DeviceConfiguration decoded;
        ASSERT_TRUE(
            DecodeConfigurationImage(EncodeConfigurationImage(original, c.format), c.format, decoded));

        DeviceConfiguration expected = original;
        const int32_t gears[] = {5050, 2250, 2550, 3250, 3850, 4450, 4850};
        for (size_t i = 0; i < kGearVoltageFields.size(); ++i) {
            expected.*kGearVoltageFields[i] = gears[i];
        }
        expected.TPSThresholdVoltage = c.threshold;
        expected.TPSMinVoltage = c.min;
        expected.TPSMaxVoltage = c.max;
        EXPECT_EQ(decoded, expected) << static_cast<int>(c.family);
    }
}

TEST(VoltageToCode, ScaleTruncationAndLowByte)
{
    const std::pair<int32_t, uint8_t> cases[] = {
        {0, 0},       {700, 17},  {2200, 52}, {5000, 118},
        {4400, 104},  {-21, 0},   {-22, 0},  // truncated toward zero, not floored
        {10800, 255}, {10843, 0},            // 256 keeps its low byte
        {-42328, 24},                        // -1000 -> 0x18
    };
    for (auto [millivolts, code] : cases) {
        EXPECT_EQ(VoltageToCode(millivolts), code) << millivolts;
    }
    EXPECT_NO_FATAL_FAILURE(VoltageToCode(INT32_MAX));
    EXPECT_NO_FATAL_FAILURE(VoltageToCode(INT32_MIN));
}

TEST(CodeToVoltage, RoundsToFiftyMillivolts)
{
    const std::pair<uint8_t, int32_t> cases[] = {{0, 0},     {1, 50},     {3, 150},    {4, 150},    {17, 750},
                                                 {52, 2250}, {102, 4400}, {118, 5050}, {255, 10950}};
    for (auto [code, millivolts] : cases) {
        EXPECT_EQ(CodeToVoltage(code), millivolts) << int{code};
    }
}

// The unit counts whole steps of 42.307 mV in (mV + 21 mV): code c is the
// largest c with c * 42307 <= (mV + 21) * 1000. The walk below finds each step
// by comparing, not dividing, over every voltage a record can hold; the table
// pins the edges of a few steps that a slightly wrong scale would move.
TEST(VoltageToCode, EveryMillivoltLandsInTheUnitsStep)
{
    int64_t code = 0;
    int mismatches = 0;
    for (int32_t millivolts = 0; millivolts <= 5000; ++millivolts) {
        while ((code + 1) * 42307 <= (int64_t{millivolts} + 21) * 1000) {
            ++code;
        }
        if (VoltageToCode(millivolts) != code && ++mismatches <= 5) {
            ADD_FAILURE() << millivolts << " mV gives " << int{VoltageToCode(millivolts)}
                          << ", the unit's step is " << code;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(code, 118);

    const std::pair<int32_t, uint8_t> edges[] = {{951, 22},  {952, 22},  {953, 23},  {2644, 62}, {2645, 63},
                                                 {2940, 69}, {2941, 70}, {3490, 82}, {4040, 95}, {4590, 108}};
    for (auto [millivolts, expected] : edges) {
        EXPECT_EQ(VoltageToCode(millivolts), expected) << millivolts;
    }
}

// Reading back: the code times 43 mV, to the nearest 50 mV with halves going up.
TEST(CodeToVoltage, EveryCodeIsTheNearestFiftyMillivolts)
{
    for (int code = 0; code <= 255; ++code) {
        const int exact = 43 * code;
        const int below = exact - exact % 50;
        const int expected = exact - below < 25 ? below : below + 50;
        EXPECT_EQ(CodeToVoltage(static_cast<uint8_t>(code)), expected) << code;
    }
}

TEST(RpmToPeriod, BothDirectionsAndClamp)
{
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0},        {3000, 7500},  {7500, 3000},  {10000, 2250},
        {2250, 10000}, {16000, 1406}, {1406, 16000},  // 16002 clamped
        {1000, 16000},                                // 22500 clamped
        {1, 16000},    {22500001, 0}, {65535, 343},
    };
    for (auto [in, out] : cases) {
        EXPECT_EQ(RpmToPeriod(in), out) << in;
    }
}

TEST(EncodeConfigurationImage, PulsesCodesAndRefusals)
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Base);
    for (auto [pulses, code] : {std::pair{1, 0}, {2, 1}, {4, 2}}) {
        config.PulsesPerTwoRevolutions = pulses;
        EXPECT_EQ(EncodeConfigurationImage(config, ImageFormat::Short)[181], code) << pulses;
    }
    for (int32_t pulses : {0, 3, -1, 8, 256}) {
        config.PulsesPerTwoRevolutions = pulses;
        try {
            EncodeConfigurationImage(config, ImageFormat::Long);
            ADD_FAILURE() << pulses << " encoded";
        } catch (const ConfigurationError& error) {
            EXPECT_STREQ(error.what(), "invalid pulses_per_revolution");
        }
    }
    DeviceConfiguration blank;
    ClearConfiguration(blank);
    EXPECT_THROW(EncodeConfigurationImage(blank, ImageFormat::Short), ConfigurationError);
}

TEST(EncodeConfigurationImage, AbsentRowsAndWideValuesKeepTheirLowBits)
{
    DeviceConfiguration blank;
    ClearConfiguration(blank);
    blank.PulsesPerTwoRevolutions = 1;
    const ConfigurationImage image = EncodeConfigurationImage(blank, ImageFormat::Short);
    for (size_t offset = 20; offset < 180; ++offset) {
        const bool firstRow = (offset >= 20 && offset < 36) || (offset >= 100 && offset < 116);
        EXPECT_EQ(image[offset], firstRow ? 0 : 255) << offset;
    }
    EXPECT_EQ(image[189], 118) << "blank TPS maximum 5000 mV";

    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    config.BlipperMap[2][5] = 300;      // 300 - 256
    config.Gear3RpmSpeedRatio = 70000;  // 70000 - 65536 = 4464 = 0x1170
    config.WheelCircumference = 65535;
    config.WarmupActiveTime = 199;  // 1 step of 100 ms
    const ConfigurationImage wide = EncodeConfigurationImage(config, ImageFormat::Long);
    EXPECT_EQ(wide[20 + 2 * 16 + 5], 44);
    EXPECT_EQ(wide[198], 0x70);
    EXPECT_EQ(wide[199], 0x11);
    EXPECT_EQ(wide[208], 0xFF);
    EXPECT_EQ(wide[209], 0xFF);
    EXPECT_EQ(wide[185], 1);
}

TEST(EncodeConfigurationImage, ShortImageCarriesNoSpeedSensorFields)
{
    const ConfigurationImage image =
        EncodeConfigurationImage(MakeDefaultConfiguration(DefaultsFamily::Gen108), ImageFormat::Short);
    ASSERT_EQ(image.size(), 196u);
    EXPECT_EQ(image[0], 1);
    for (size_t offset = 191; offset < 196; ++offset) {
        EXPECT_EQ(image[offset], 0) << offset;
    }
}

TEST(DecodeConfigurationImage, TpsRuleComparesVoltagesNotCodes)
{
    struct Case {
        uint8_t minCode, maxCode;
        int32_t min, max;
    };
    const Case cases[] = {
        {0, 0, 0, 5000},      {17, 102, 750, 4400}, {3, 4, 0, 5000},  // 3 and 4 both read as 150 mV
        {102, 17, 4400, 750}, {255, 255, 0, 5000},
    };
    for (const Case& c : cases) {
        ConfigurationImage image = Bytes(kBaseDefaultsImage);
        image[188] = c.minCode;
        image[189] = c.maxCode;
        DeviceConfiguration config;
        ASSERT_TRUE(DecodeConfigurationImage(image, ImageFormat::Short, config));
        EXPECT_EQ(config.TPSMinVoltage, c.min) << int{c.minCode} << "/" << int{c.maxCode};
        EXPECT_EQ(config.TPSMaxVoltage, c.max) << int{c.minCode} << "/" << int{c.maxCode};
    }
}

TEST(DecodeConfigurationImage, ShortImageLeavesSpeedSensorFieldsBlank)
{
    ConfigurationImage image = Bytes(kBaseDefaultsImage);
    image[194] = 0x56;  // what a long image would hold as the first ratio
    image[195] = 0x03;
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    ASSERT_TRUE(DecodeConfigurationImage(image, ImageFormat::Short, config));
    for (ConfigField field : kRpmSpeedRatioFields) {
        EXPECT_EQ(config.*field, 0);
    }
    EXPECT_EQ(config.NumOfSpeedPulses, 0);
    EXPECT_EQ(config.GearDetection, 0);
    EXPECT_EQ(config.WheelCircumference, 0);
    EXPECT_EQ(config.Reserved, 0);
}

TEST(DecodeConfigurationImage, RejectsWithoutTouchingTheRecord)
{
    const DeviceConfiguration before = Gen108GoldenRecord();
    struct Case {
        const char* what;
        ConfigurationImage image;
        ImageFormat format;
        const char* error;
    };
    ConfigurationImage badPulses = Bytes(kGen108Image);
    badPulses[181] = 3;
    ConfigurationImage longer = Bytes(kBaseDefaultsImage);
    longer.push_back(0);
    const Case cases[] = {
        {"pulses code 3", badPulses, ImageFormat::Long, "invalid pulses_per_revolution"},
        {"short image as long", Bytes(kBaseDefaultsImage), ImageFormat::Long, nullptr},
        {"long image as short", Bytes(kGen108Image), ImageFormat::Short, nullptr},
        {"one byte too many", longer, ImageFormat::Short, nullptr},
        {"one byte too few", ConfigurationImage(195, 0), ImageFormat::Short, nullptr},
        {"empty", {}, ImageFormat::Long, nullptr},
    };
    for (const Case& c : cases) {
        DeviceConfiguration config = before;
        std::string error;
        EXPECT_FALSE(DecodeConfigurationImage(c.image, c.format, config, &error)) << c.what;
        EXPECT_EQ(config, before) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        if (c.error != nullptr) {
            EXPECT_EQ(error, c.error);
        }
    }
    DeviceConfiguration config = before;
    EXPECT_FALSE(DecodeConfigurationImage(badPulses, ImageFormat::Long, config)) << "no error text wanted";
}

// Every value at every position: only the pulses byte may refuse an image, and
// the bytes taken as they are come back unchanged when encoded again.
TEST(DecodeConfigurationImage, EveryByteValueAtEveryPosition)
{
    for (ImageFormat format : {ImageFormat::Short, ImageFormat::Long}) {
        const ConfigurationImage golden =
            format == ImageFormat::Short ? Bytes(kBaseDefaultsImage) : Bytes(kGen108Image);
        for (size_t offset = 0; offset < golden.size(); ++offset) {
            for (int value = 0; value < 256; ++value) {
                ConfigurationImage image = golden;
                image[offset] = static_cast<uint8_t>(value);
                DeviceConfiguration config;
                ClearConfiguration(config);
                const bool decoded = DecodeConfigurationImage(image, format, config);
                ASSERT_EQ(decoded, offset != 181 || value <= 2) << offset << "=" << value;
                if (!decoded) {
                    continue;
                }
                const ConfigurationImage again = EncodeConfigurationImage(config, format);
                const bool keptAsIs = (offset >= 8 && offset < 16) || (offset >= 20 && offset < 180) ||
                                      offset == 181 || offset == 186 || offset == 187 || offset == 190 ||
                                      (format == ImageFormat::Long && offset >= 194 && offset < 210);
                if (keptAsIs) {
                    ASSERT_EQ(again[offset], value) << offset;
                }
            }
        }
    }
}

}  // namespace
