// Parts of the emulator that need no bus: fault texts, the fault plan's
// counting, the simulated engine and vantrel-emulate's command line and
// settings file.
#include <gtest/gtest.h>

#include <wx/fileconf.h>
#include <wx/init.h>

#include <cstdio>
#include <set>

#include "EmulateOptions.h"
#include "config/ConfigurationImage.h"
#include "config/DeviceConfiguration.h"
#include "config/SettingsKeys.h"
#include "emulator/FaultPlan.h"
#include "emulator/LiveEngine.h"

namespace {

TEST(FaultText, ParsesEveryPart)
{
    struct Case {
        const char* text;
        FaultKind kind;
        int target;
        uint32_t skip;
        uint32_t count;
        int32_t shortLength;
    };
    const Case cases[] = {
        {"stall", FaultKind::Stall, FAULT_ANY_TRANSFER, 0, 1, -1},
        {"stall@0x00", FaultKind::Stall, 0x00, 0, 1, -1},
        {"timeout@live+3", FaultKind::Timeout, FAULT_LIVE_ENDPOINT, 3, 1, -1},
        {"short@0x02=10", FaultKind::Short, 0x02, 0, 1, 10},
        {"disconnect+40", FaultKind::Disconnect, FAULT_ANY_TRANSFER, 40, 1, -1},
        {"stall@1x0", FaultKind::Stall, 1, 0, 0, -1},
        {"short@any+2x5=0", FaultKind::Short, FAULT_ANY_TRANSFER, 2, 5, 0},
        {"timeout@4", FaultKind::Timeout, 4, 0, 1, -1},
        {"drop@0x00+1", FaultKind::Drop, 0x00, 1, 1, -1},
    };
    for (const Case& c : cases) {
        const std::optional<FaultSpec> fault = ParseFaultSpec(c.text);
        ASSERT_TRUE(fault.has_value()) << c.text;
        EXPECT_EQ(fault->kind, c.kind) << c.text;
        EXPECT_EQ(fault->target, c.target) << c.text;
        EXPECT_EQ(fault->skip, c.skip) << c.text;
        EXPECT_EQ(fault->count, c.count) << c.text;
        EXPECT_EQ(fault->shortLength, c.shortLength) << c.text;
        // The printed form reads back as the same fault.
        const std::optional<FaultSpec> again = ParseFaultSpec(FormatFaultSpec(*fault));
        ASSERT_TRUE(again.has_value()) << FormatFaultSpec(*fault);
        EXPECT_EQ(again->target, fault->target);
        EXPECT_EQ(again->skip, fault->skip);
        EXPECT_EQ(again->count, fault->count);
    }
}

TEST(FaultText, RejectsMalformedText)
{
    for (const char* text : {"", "stal", "stall@", "stall@0x100", "stall@live+", "stall+x", "stall@-1",
                             "stall@0x00+1y2", "timeout@live+99999999999", "STALL"}) {
        EXPECT_FALSE(ParseFaultSpec(text).has_value()) << text;
    }
}

TEST(FaultPlanCounting, SkipsThenFiresCountTimes)
{
    FaultPlan plan;
    plan.Add({.kind = FaultKind::Stall, .target = 0x00, .skip = 2, .count = 2});
    plan.Add({.kind = FaultKind::Timeout, .target = FAULT_LIVE_ENDPOINT, .count = 0});
    std::vector<int> fired;
    for (int i = 0; i < 6; ++i) {
        fired.push_back(plan.Next(0x00).has_value() ? 1 : 0);
        EXPECT_FALSE(plan.Next(0x01).has_value());  // aimed elsewhere: never fires
    }
    EXPECT_EQ(fired, (std::vector<int>{0, 0, 1, 1, 0, 0}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(plan.Next(FAULT_LIVE_ENDPOINT)->kind, FaultKind::Timeout);  // count 0: for good
    }
    EXPECT_EQ(plan.FiredCount(), 7u);
    plan.Clear();
    EXPECT_FALSE(plan.Next(FAULT_LIVE_ENDPOINT).has_value());
}

TEST(LiveEngineRide, MovesThroughEveryGear)
{
    const DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    std::set<uint8_t> gears;
    uint32_t lowest = 100000;
    uint32_t highest = 0;
    bool shifted = false;
    bool blipped = false;
    for (uint64_t t = 0; t < 24000; t += 10) {
        const std::vector<uint8_t> report = LiveEngine::Report(108, config, t);
        ASSERT_EQ(report.size(), 19u);
        const uint32_t rpm = LiveEngine::Rpm(t);
        const uint32_t period = static_cast<uint32_t>(report[0] | report[1] << 8);
        EXPECT_EQ(period, (22500000 + rpm / 2) / rpm) << t;  // one pulse per two revolutions
        EXPECT_EQ(report[14], LiveEngine::Gear(t)) << t;
        EXPECT_EQ(report[15] & 1, 1);
        // 76.562 mV per count: the supply stays between 13 and 14.5 V.
        EXPECT_GE(report[18] * 76562 / 1000, 13000u) << t;
        EXPECT_LE(report[18] * 76562 / 1000, 14500u) << t;
        gears.insert(report[14]);
        lowest = std::min(lowest, rpm);
        highest = std::max(highest, rpm);
        shifted = shifted || (report[13] & 0x04) != 0;
        blipped = blipped || (report[13] & 0x02) != 0;
        if (report[14] == 0) {
            EXPECT_EQ(report[2] | report[3] << 8, 0) << "no road speed in neutral";
            EXPECT_EQ(LiveEngine::Speed(config, t), 0u);
        } else {
            // The unit's ratio is the one the configuration calibrates for the gear.
            EXPECT_EQ(report[16] | report[17] << 8, config.*kRpmSpeedRatioFields[report[14] - 1]) << t;
        }
    }
    EXPECT_EQ(gears, (std::set<uint8_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(lowest, 1300u);
    EXPECT_GE(highest, 11000u);
    EXPECT_TRUE(shifted);
    EXPECT_TRUE(blipped);
    EXPECT_EQ(LiveEngine::Report(108, config, 5000),
              LiveEngine::Report(108, config, 5000 + 24000));  // repeats
    for (const auto& [generation, length] : {std::pair<uint16_t, size_t>{100, 16}, {106, 16}, {107, 18}}) {
        EXPECT_EQ(LiveEngine::Report(generation, config, 3000).size(), length) << generation;
        EXPECT_EQ(LiveReportLength(generation), length) << generation;
    }
}

// What the unit reads on its inputs and drives on its outputs follows the
// configuration: inputs by function and polarity, outputs by function, the
// shift light by its rpm, the gear sensor by the gear voltages.
TEST(LiveEngineRide, ReadingsFollowTheConfiguration)
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.InputFeature1 = 0;                         // nothing on input 1
    config.InputFeature2 = EncodeInputFeature(1, 1);  // shifter on input 2, active low
    config.InputFeature3 = EncodeInputFeature(5, 0);  // clutch on input 3, active high
    config.InputFeature4 = 0;
    config.InputFeature5 = 0;
    config.OutputFeature1 = 3;  // injection cut, no shift light
    config.OutputFeature2 = 0;
    config.Gear3Voltage = 1500;
    const uint64_t idle = 1000;
    const uint64_t cut = 2000 + 1600 + 1550;  // end of second gear
    const uint64_t third = 2000 + 2 * 1600 + 1400;

    std::vector<uint8_t> report = LiveEngine::Report(108, config, idle);
    EXPECT_EQ(report[12], 0x10) << "clutch only: no pit input is configured";
    EXPECT_EQ(std::vector<uint8_t>(report.begin() + 6, report.begin() + 12),
              (std::vector<uint8_t>{10, 230, 230, 10, 10, 10}));  // shifter idle high, clutch pulled high
    report = LiveEngine::Report(108, config, cut);
    EXPECT_EQ(report[12], 0x01);
    EXPECT_EQ(report[7], 10) << "active low";
    EXPECT_EQ(report[13], 0x0C) << "ignition and injection cut, no shift light";
    report = LiveEngine::Report(108, config, third);
    EXPECT_EQ(report[5], 35) << "1500 mV";
    EXPECT_EQ(report[13], 0x00);
    config.OutputFeature2 = 1;
    config.ShiftLightRPM = LiveEngine::Rpm(third);
    EXPECT_EQ(LiveEngine::Report(108, config, third)[13], 0x01);
    config.ShiftLightRPM += 1;
    EXPECT_EQ(LiveEngine::Report(108, config, third)[13], 0x00);
}

TEST(EmulateCommandLine, BuildsTheDevices)
{
    std::string error;
    const auto options =
        ParseEmulateOptions({"--unit", "105", "--unit", "108", "--count", "2", "--serial", "AB0099",
                             "--sibling", "--fault", "stall@0x00", "--", "lsusb", "-v"},
                            error);
    ASSERT_TRUE(options.has_value()) << error;
    ASSERT_EQ(options->devices.size(), 5u);
    const std::vector<std::string> serials = {"AB0099", "AB0100", "AB0101", "AB0102", "CV000001"};
    const std::vector<uint16_t> generations = {105, 105, 108, 108};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(options->devices[i].serial, serials[i]);
    }
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(options->devices[i].generation, generations[i]);
        EXPECT_EQ(options->devices[i].personality, Personality::Application);
    }
    EXPECT_EQ(options->devices[4].productId, 0xE360);
    ASSERT_EQ(options->faults.size(), 1u);
    EXPECT_EQ(options->faults[0].target, 0x00);
    EXPECT_EQ(options->command, (std::vector<std::string>{"lsusb", "-v"}));
}

TEST(EmulateCommandLine, DefaultsToOneApplicationUnit)
{
    std::string error;
    const auto options = ParseEmulateOptions({"lsusb"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    ASSERT_EQ(options->devices.size(), 1u);
    EXPECT_EQ(options->devices[0].generation, 108);
    EXPECT_EQ(options->devices[0].serial, "VT000001");
    const auto boot =
        ParseEmulateOptions({"--bootloader", "101", "--no-serial", "--other-class", "true"}, error);
    ASSERT_TRUE(boot.has_value()) << error;
    ASSERT_EQ(boot->devices.size(), 3u);
    EXPECT_EQ(boot->devices[0].personality, Personality::Bootloader);
    EXPECT_EQ(boot->devices[0].bootloaderVersion, 101);
    EXPECT_FALSE(boot->devices[1].hasSerialString);
    EXPECT_EQ(boot->devices[2].deviceClass, 0x00);
}

TEST(EmulateCommandLine, RefusesBadInput)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--unit", "99", "lsusb"},
        {"--unit", "109", "lsusb"},
        {"--unit"},
        {"--bootloader", "102", "lsusb"},
        {"--count", "0", "lsusb"},
        {"--fault", "melt", "lsusb"},
        {"--serial", "", "lsusb"},
        {"--frobnicate", "lsusb"},
        {"--unit", "108", "--"},
        {"--firmware", "1.7", "lsusb"},
        {"--firmware", "2.00", "lsusb"},
        {"--firmware", "99", "lsusb"},
        {"--settings"},
    };
    for (const auto& args : cases) {
        std::string error;
        EXPECT_FALSE(ParseEmulateOptions(args, error).has_value()) << (args.empty() ? "" : args[0]);
        EXPECT_FALSE(error.empty());
    }
}

TEST(EmulateCommandLine, FirmwareVersionOfTheUnits)
{
    std::string error;
    const auto running = ParseEmulateOptions({"--unit", "105", "--firmware", "1.09", "true"}, error);
    ASSERT_TRUE(running.has_value()) << error;
    EXPECT_EQ(running->devices[0].generation, 109);
    EXPECT_EQ(running->devices[0].personality, Personality::Application);
    const auto waiting = ParseEmulateOptions({"--bootloader", "101", "--firmware", "107", "true"}, error);
    ASSERT_TRUE(waiting.has_value()) << error;
    EXPECT_EQ(waiting->devices[0].generation, 107);
    EXPECT_EQ(waiting->devices[0].validApplication, true);
    const auto erased = ParseEmulateOptions({"--bootloader", "101", "true"}, error);
    ASSERT_TRUE(erased.has_value()) << error;
    EXPECT_EQ(erased->devices[0].validApplication, false);
    // A unit in its bootloader with an application of 1.07 in the flash offers it.
    VirtualUnit unit(waiting->devices[0]);
    EXPECT_EQ(unit.CurrentPersonality(), Personality::Bootloader);
    EXPECT_TRUE(unit.HasValidApplication());
    EXPECT_EQ(unit.FirmwareVersion().version, 0x0107);
}

TEST(EmulateSettingsFile, UnitsStartWithTheFilesConfiguration)
{
    wxInitializer wx;  // as vantrel-emulate reads the file
    ASSERT_TRUE(wx.IsOk());
    const std::string path = testing::TempDir() + "emulate-settings.vtn";
    DeviceConfiguration saved = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    saved.ShiftLightRPM = 12500;
    saved.WheelCircumference = 1850;
    auto save = [&] {
        std::unique_ptr<wxFileConfig> store = OpenSettingsFile(path);
        SaveSettingsKeys(*store, saved, SettingsKeySet::Extended);
    };
    save();
    std::string error;
    auto options = ParseEmulateOptions(
        {"--unit", "105", "--unit", "108", "--sibling", "--settings", path, "true"}, error);
    ASSERT_TRUE(options.has_value()) << error;
    ASSERT_TRUE(LoadSettingsIntoUnits(*options, error)) << error;
    ASSERT_TRUE(options->devices[1].configuration.has_value());
    EXPECT_EQ(*options->devices[1].configuration, saved);
    ASSERT_TRUE(options->devices[0].configuration.has_value());
    EXPECT_EQ(options->devices[0].configuration->ShiftLightRPM, 12500);
    EXPECT_EQ(options->devices[0].configuration->WheelCircumference, 0) << "105 reads the base keys";
    EXPECT_FALSE(options->devices[2].configuration.has_value()) << "the sibling is no unit";
    const VirtualUnit unit(options->devices[1]);
    EXPECT_EQ(unit.ConfigurationImage(), EncodeConfigurationImage(saved, ImageFormat::Long));

    // What the program would refuse to load, the units refuse to start with.
    saved.Gear2Voltage = saved.Gear1Voltage;
    save();
    EXPECT_FALSE(LoadSettingsIntoUnits(*options, error));
    EXPECT_NE(error.find("consistency"), std::string::npos) << error;
    options->settingsFile = path + ".missing";
    EXPECT_FALSE(LoadSettingsIntoUnits(*options, error));
    EXPECT_NE(error.find("not found"), std::string::npos) << error;
    std::remove(path.c_str());
}

TEST(EmulateCommandLine, CountsSerialsUp)
{
    EXPECT_EQ(NextSerial("VT000009", 1), "VT000010");
    EXPECT_EQ(NextSerial("VT000001", 0), "VT000001");
    EXPECT_EQ(NextSerial("X99", 1), "X100");
    EXPECT_EQ(NextSerial("ABC", 2), "ABC-3");
}

}  // namespace
