#include <gtest/gtest.h>
#include <wx/debug.h>
#include <wx/fileconf.h>
#include <wx/log.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/SettingsKeys.h"
#include "tests/editor/EditorRecordCases.h"

namespace {

namespace fs = std::filesystem;

// Every test gets its own directory; the files are real, as the Open and Save
// commands use them.
class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vantrel-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        path_ = dir_ / "test.vtn";
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteText(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string ReadText()
    {
        std::ostringstream text;
        text << std::ifstream(path_, std::ios::binary).rdbuf();
        return text.str();
    }

    int32_t Load(const std::string& text, DeviceConfiguration& config,
                 SettingsKeySet keys = SettingsKeySet::Base)
    {
        WriteText(text);
        wxLogNull quiet;  // the store complains about malformed lines; they are part of the test
        ClearConfiguration(config);
        return LoadSettingsKeys(*OpenSettingsFile(path_.string()), config, keys);
    }

    // What the Save-as command does: version at the top, then the keys.
    std::string Save(const DeviceConfiguration& config, SettingsKeySet keys)
    {
        {
            auto store = OpenSettingsFile(path_.string());
            WriteAppVersion(*store);
            EXPECT_EQ(SaveSettingsKeys(*store, config, keys), 0);
        }
        return ReadText();
    }

    fs::path dir_;
    fs::path path_;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST_F(SettingsFile, SaveWritesVersionThenKeysInOrder)
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    config.BlipperMap[4][15] = 33;
    const std::vector<std::string> lines = Lines(Save(config, SettingsKeySet::Extended));

    std::vector<std::string> expected = {
        "AppVersion=26.08.01\\n\\n",  // the two line feeds, escaped by the store
        "InputFeature1=2",
        "InputFeature2=4",
        "InputFeature3=6",
        "InputFeature4=8",
        "InputFeature5=10",
        "InputFeature6=0",
        "PulsesPerTwoRevolutions=1",
        "GearNVoltage=5000",
        "Gear1Voltage=2200",
        "Gear2Voltage=2500",
        "Gear3Voltage=3200",
        "Gear4Voltage=3800",
        "Gear5Voltage=4400",
        "Gear6Voltage=4800",
        "OutputFeature1=1",
        "OutputFeature2=2",
        "ShiftLightRPM=10000",
        "WarmupMaxRPM=3000",
        "DelayBetweenShifting=100",
        "TPSMinVoltage=700",
        "TPSMaxVoltage=4300",
        "TPSThresholdVoltage=1060",
        "DelayBetweenBlipping=100",
        "WarmupActiveTime=200",
        "WarmUpPeriod=1500",
        "ShiftingMode=2",
        "DeltaT=5",
        "IgnitionMode=0"};
    ASSERT_EQ(lines.size(), expected.size() + 160 + 9);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i], expected[i]);
    }
    // Maps: blipper rows then shifter rows, 1000 rpm cell included.
    EXPECT_EQ(lines[29], "BlipperMap1000=0");
    EXPECT_EQ(lines[31], "BlipperMap3000=80");
    EXPECT_EQ(lines[45], "BlipperMap3G1000=0");
    EXPECT_EQ(lines[29 + 79], "BlipperMap6G16000=33");
    EXPECT_EQ(lines[29 + 80], "ShifterMap1000=0");
    EXPECT_EQ(lines[29 + 82], "ShifterMap3000=60");
    EXPECT_EQ(lines[29 + 159], "ShifterMap5G16000=48");
    const std::vector<std::string> extension(lines.end() - 9, lines.end());
    EXPECT_EQ(extension, (std::vector<std::string>{
                             "NumOfSpeedPulses=4", "Gear1RpmSpeedRatio=854", "Gear2RpmSpeedRatio=645",
                             "Gear3RpmSpeedRatio=526", "Gear4RpmSpeedRatio=459", "Gear5RpmSpeedRatio=415",
                             "Gear6RpmSpeedRatio=386", "GearDetection=0", "WheelCircumference=2000"}));

    fs::remove(path_);
    EXPECT_EQ(Lines(Save(config, SettingsKeySet::Base)).size(), expected.size() + 160);
}

// Decimal text loses nothing: every family's defaults come back exactly.
TEST_F(SettingsFile, EveryFamilysDefaultsRoundTrip)
{
    const std::pair<DefaultsFamily, SettingsKeySet> cases[] = {
        {DefaultsFamily::Base, SettingsKeySet::Base},
        {DefaultsFamily::Gen103, SettingsKeySet::Base},
        {DefaultsFamily::Gen107, SettingsKeySet::Extended},
        {DefaultsFamily::Gen108, SettingsKeySet::Extended},
    };
    for (auto [family, keys] : cases) {
        const DeviceConfiguration original = MakeDefaultConfiguration(family);
        const std::string text = Save(original, keys);
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(text, loaded, keys), 0) << static_cast<int>(family);
        EXPECT_EQ(loaded, original) << static_cast<int>(family);
        fs::remove(path_);
    }
}

// The records the editors' round trips use (at the ends of every range) are
// valid: a file gives each back as it is.
TEST_F(SettingsFile, RecordsAtTheEditorsLimitsAreValid)
{
    for (const editor_record_cases::RecordCase& c : editor_record_cases::RecordsAtTheLimits()) {
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(Save(c.config, SettingsKeySet::Extended), loaded, SettingsKeySet::Extended), 0)
            << c.name;
        EXPECT_TRUE(loaded == c.config)
            << c.name << ":" << editor_record_cases::Differences(c.config, loaded);
        fs::remove(path_);
    }
}

// every-key.vtn was written by hand, not by this program: every key of both
// key sets under the name every other installation writes, each with a value
// no fallback, default or neighbouring key has. Blipper cells hold
// 100 + 16 * row + cell, shifter cells 30 + 16 * row + cell.
TEST_F(SettingsFile, HandWrittenFileWithEveryKeyLoadsFieldByFieldAndSavesLineByLine)
{
    std::ifstream committed(VANTREL_CONFIG_TEST_DATA "/every-key.vtn", std::ios::binary);
    ASSERT_TRUE(committed.is_open());
    std::ostringstream text;
    text << committed.rdbuf();
    const std::string file = text.str();

    DeviceConfiguration expected;
    ClearConfiguration(expected);
    expected.InputFeature1 = 11;
    expected.InputFeature2 = 5;
    expected.InputFeature3 = 7;
    expected.InputFeature4 = 9;
    expected.InputFeature5 = 12;
    expected.InputFeature6 = 6;
    expected.PulsesPerTwoRevolutions = 2;
    expected.GearNVoltage = 4950;
    expected.Gear1Voltage = 650;
    expected.Gear2Voltage = 1150;
    expected.Gear3Voltage = 1700;
    expected.Gear4Voltage = 2350;
    expected.Gear5Voltage = 3050;
    expected.Gear6Voltage = 3650;
    expected.OutputFeature1 = 3;
    expected.OutputFeature2 = 0;
    expected.ShiftLightRPM = 11500;
    expected.WarmupMaxRPM = 2500;
    expected.DelayBetweenShifting = 130;
    expected.TPSMinVoltage = 600;
    expected.TPSMaxVoltage = 4450;
    expected.TPSThresholdVoltage = 1350;
    expected.DelayBetweenBlipping = 170;
    expected.WarmupActiveTime = 240;
    expected.WarmUpPeriod = 1800;
    expected.ShiftingMode = 1;
    expected.DeltaT = 8;
    expected.IgnitionMode = 2;
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            expected.BlipperMap[row][cell] = 100 + 16 * row + cell;
            expected.ShifterMap[row][cell] = 30 + 16 * row + cell;
        }
    }
    DeviceConfiguration loaded;
    ASSERT_EQ(Load(file, loaded, SettingsKeySet::Base), 0);
    EXPECT_EQ(loaded, expected) << "older units take the base keys only";

    expected.NumOfSpeedPulses = 17;
    expected.Gear1RpmSpeedRatio = 901;
    expected.Gear2RpmSpeedRatio = 702;
    expected.Gear3RpmSpeedRatio = 588;
    expected.Gear4RpmSpeedRatio = 497;
    expected.Gear5RpmSpeedRatio = 433;
    expected.Gear6RpmSpeedRatio = 399;
    expected.GearDetection = 2;
    expected.WheelCircumference = 1985;
    ASSERT_EQ(Load(file, loaded, SettingsKeySet::Extended), 0);
    // Field by field, so that a failure names the field (its place in the record).
    std::array<int32_t, 198> got{};
    std::array<int32_t, 198> want{};
    std::memcpy(got.data(), &loaded, sizeof loaded);
    std::memcpy(want.data(), &expected, sizeof expected);
    for (size_t field = 0; field < got.size(); ++field) {
        EXPECT_EQ(got[field], want[field]) << "field " << field;
    }

    fs::remove(path_);
    const std::vector<std::string> saved = Lines(Save(loaded, SettingsKeySet::Extended));
    const std::vector<std::string> written = Lines(file);
    ASSERT_EQ(saved.size(), written.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(saved[i], written[i]) << "line " << i + 1;
    }
}

TEST_F(SettingsFile, FourPulsesSurviveARoundTrip)
{
    DeviceConfiguration original = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    original.PulsesPerTwoRevolutions = 4;
    DeviceConfiguration loaded;
    ASSERT_EQ(Load(Save(original, SettingsKeySet::Extended), loaded, SettingsKeySet::Extended), 0);
    EXPECT_EQ(loaded.PulsesPerTwoRevolutions, 4);
    EXPECT_EQ(loaded, original);
}

TEST_F(SettingsFile, OnlyVersionGivesTheLoadersFallbacks)
{
    DeviceConfiguration loaded;
    ASSERT_EQ(Load("AppVersion=26.08.01\\n\\n\n", loaded), 0);
    // The fallbacks are the base defaults, the maps included.
    EXPECT_EQ(loaded, MakeDefaultConfiguration(DefaultsFamily::Base));

    ASSERT_EQ(Load("AppVersion=26.08.01\\n\\n\n", loaded, SettingsKeySet::Extended), 0);
    DeviceConfiguration expected = MakeDefaultConfiguration(DefaultsFamily::Base);
    expected.NumOfSpeedPulses = 4;
    expected.WheelCircumference = 2000;
    const int32_t ratios[] = {854, 645, 526, 459, 415, 386};
    for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i) {
        expected.*kRpmSpeedRatioFields[i] = ratios[i];
    }
    EXPECT_EQ(loaded, expected) << "TPS and warm-up fallbacks are the loader's, not generation 108's";
}

TEST_F(SettingsFile, RangesAndFallbacks)
{
    using C = DeviceConfiguration;
    struct Case {
        const char* line;
        ConfigField field;
        int32_t expected;
        SettingsKeySet keys = SettingsKeySet::Base;
    };
    const Case cases[] = {
        {"DeltaT=0", &C::DeltaT, 5},
        {"DeltaT=10", &C::DeltaT, 10},
        {"DeltaT=11", &C::DeltaT, 5},
        {"ShiftLightRPM=999", &C::ShiftLightRPM, 10000},
        {"ShiftLightRPM=16001", &C::ShiftLightRPM, 10000},
        {"WarmupMaxRPM=500", &C::WarmupMaxRPM, 500},
        {"WarmupMaxRPM=499", &C::WarmupMaxRPM, 3000},
        {"PulsesPerTwoRevolutions=2", &C::PulsesPerTwoRevolutions, 2},
        {"PulsesPerTwoRevolutions=4", &C::PulsesPerTwoRevolutions, 4},
        {"PulsesPerTwoRevolutions=3", &C::PulsesPerTwoRevolutions, 1},
        {"PulsesPerTwoRevolutions=8", &C::PulsesPerTwoRevolutions, 1},
        {"GearNVoltage=-5", &C::GearNVoltage, 5000},
        {"InputFeature6=12", &C::InputFeature6, 12},
        {"InputFeature6=13", &C::InputFeature6, 0},
        {"TPSThresholdVoltage=5001", &C::TPSThresholdVoltage, 2200},
        // Numbers beyond an int must not wrap into range (2^32 + 2 is not 2).
        {"DeltaT=4294967298", &C::DeltaT, 5},
        {"DeltaT=99999999999999999999999", &C::DeltaT, 5},
        {"DeltaT=abc", &C::DeltaT, 5},
        {"DeltaT=5abc", &C::DeltaT, 5},
        {"DeltaT=0x7", &C::DeltaT, 5},
        {"DeltaT=", &C::DeltaT, 5},
        {"DeltaT = 7 ", &C::DeltaT, 7},
        {"NumOfSpeedPulses=32", &C::NumOfSpeedPulses, 32, SettingsKeySet::Extended},
        {"NumOfSpeedPulses=33", &C::NumOfSpeedPulses, 4, SettingsKeySet::Extended},
        {"WheelCircumference=999", &C::WheelCircumference, 2000, SettingsKeySet::Extended},
        {"GearDetection=3", &C::GearDetection, 0, SettingsKeySet::Extended},
        {"Gear1RpmSpeedRatio=1501", &C::Gear1RpmSpeedRatio, 854, SettingsKeySet::Extended},
        {"Gear1RpmSpeedRatio=1500", &C::Gear1RpmSpeedRatio, 1500, SettingsKeySet::Extended},
        {"WheelCircumference=1500", &C::WheelCircumference, 0},  // not a key of the base set
    };
    for (const Case& c : cases) {
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(std::string(c.line) + "\n", loaded, c.keys), 0) << c.line;
        EXPECT_EQ(loaded.*c.field, c.expected) << c.line;
    }
}

// Each scalar key's accepted range, probed just inside and just outside both
// ends, and its fallback, as documented for settings files. The number of
// pulses has its own case above.
TEST_F(SettingsFile, EveryScalarKeyTakesItsRangeAndRefusesBeyondIt)
{
    struct Range {
        const char* key;
        int32_t min, max, fallback;
    };
    const Range base[] = {
        {"InputFeature1", 0, 12, 2},
        {"InputFeature2", 0, 12, 4},
        {"InputFeature3", 0, 12, 6},
        {"InputFeature4", 0, 12, 8},
        {"InputFeature5", 0, 12, 10},
        {"InputFeature6", 0, 12, 0},
        {"GearNVoltage", 0, 5000, 5000},
        {"Gear1Voltage", 0, 5000, 2200},
        {"Gear2Voltage", 0, 5000, 2500},
        {"Gear3Voltage", 0, 5000, 3200},
        {"Gear4Voltage", 0, 5000, 3800},
        {"Gear5Voltage", 0, 5000, 4400},
        {"Gear6Voltage", 0, 5000, 4800},
        {"OutputFeature1", 0, 3, 1},
        {"OutputFeature2", 0, 3, 2},
        {"ShiftLightRPM", 1000, 16000, 10000},
        {"WarmupMaxRPM", 500, 16000, 3000},
        {"DelayBetweenShifting", 0, 500, 100},
        {"TPSMinVoltage", 0, 5000, 0},
        {"TPSMaxVoltage", 0, 5000, 5000},
        {"TPSThresholdVoltage", 0, 5000, 2200},
        {"DelayBetweenBlipping", 0, 500, 100},
        {"WarmupActiveTime", 0, 500, 200},
        {"WarmUpPeriod", 0, 2000, 1500},
        {"ShiftingMode", 0, 2, 2},
        {"DeltaT", 1, 10, 5},
        {"IgnitionMode", 0, 3, 0},
    };
    const Range extended[] = {
        {"NumOfSpeedPulses", 1, 32, 4},           {"Gear1RpmSpeedRatio", 0, 1500, 854},
        {"Gear2RpmSpeedRatio", 0, 1500, 645},     {"Gear3RpmSpeedRatio", 0, 1500, 526},
        {"Gear4RpmSpeedRatio", 0, 1500, 459},     {"Gear5RpmSpeedRatio", 0, 1500, 415},
        {"Gear6RpmSpeedRatio", 0, 1500, 386},     {"GearDetection", 0, 2, 0},
        {"WheelCircumference", 1000, 3000, 2000},
    };
    const std::vector<SettingsScalarKey> keys = SettingsScalarKeys();
    const auto probe = [&](const Range& range, SettingsKeySet set) {
        const auto key = std::find_if(keys.begin(), keys.end(), [&](const SettingsScalarKey& k) {
            return k.name == std::string(range.key);
        });
        ASSERT_NE(key, keys.end()) << range.key;
        const std::pair<int32_t, int32_t> values[] = {{range.min - 1, range.fallback},
                                                      {range.min, range.min},
                                                      {range.max, range.max},
                                                      {range.max + 1, range.fallback}};
        for (auto [written, expected] : values) {
            const std::string line = std::string(range.key) + "=" + std::to_string(written);
            DeviceConfiguration loaded;
            // A value at the end of its range may break a rule between fields;
            // the record holds what was read all the same.
            Load(line + "\n", loaded, set);
            EXPECT_EQ(loaded.*key->field, expected) << line;
        }
    };
    for (const Range& range : base) {
        probe(range, SettingsKeySet::Base);
    }
    for (const Range& range : extended) {
        probe(range, SettingsKeySet::Extended);
    }
    EXPECT_EQ(std::size(base) + std::size(extended) + 1, keys.size()) << "a key without its range here";
}

TEST_F(SettingsFile, MapCells)
{
    struct Case {
        const char* line;
        bool blipper;
        int row, cell;
        int32_t expected;
    };
    const Case cases[] = {
        {"BlipperMap5000=25", true, 0, 4, 80},     {"BlipperMap5000=0", true, 0, 4, 0},
        {"BlipperMap5000=30", true, 0, 4, 30},     {"BlipperMap5000=29", true, 0, 4, 80},
        {"BlipperMap5000=220", true, 0, 4, 220},   {"BlipperMap5000=221", true, 0, 4, 80},
        {"BlipperMap5000=-1", true, 0, 4, 80},     {"BlipperMap6G1000=40", true, 4, 0, 40},
        {"BlipperMap6G500=40", true, 4, 0, 0},     {"BlipperMap6G17000=40", true, 4, 15, 0},
        {"ShifterMap2G5000=151", false, 1, 4, 56}, {"ShifterMap2G5000=150", false, 1, 4, 150},
        {"ShifterMap2G5000=0", false, 1, 4, 0},    {"ShifterMap5G16000=30", false, 4, 15, 30},
    };
    for (const Case& c : cases) {
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(std::string(c.line) + "\n", loaded), 0) << c.line;
        const auto& map = c.blipper ? loaded.BlipperMap : loaded.ShifterMap;
        EXPECT_EQ(map[c.row][c.cell], c.expected) << c.line;
    }
}

TEST_F(SettingsFile, MissingBlipperRowsRepeatTheGearTwoRow)
{
    std::string text;
    for (int rpm = 1000; rpm <= 16000; rpm += 1000) {
        text += "BlipperMap" + std::to_string(rpm) + "=" + std::to_string(30 + rpm / 1000) + "\n";
    }
    text += "BlipperMap4G3000=100\nShifterMap3000=33\n";
    DeviceConfiguration loaded;
    ASSERT_EQ(Load(text, loaded), 0);
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            const int32_t fileRow = 31 + cell;
            EXPECT_EQ(loaded.BlipperMap[row][cell], row == 2 && cell == 2 ? 100 : fileRow)
                << row << "/" << cell;
        }
    }
    // Missing shifter rows keep their own gear's defaults instead.
    EXPECT_EQ(loaded.ShifterMap[0][2], 33);
    EXPECT_EQ(loaded.ShifterMap[0][3], 60);
    EXPECT_EQ(loaded.ShifterMap[1][2], 56);
    EXPECT_EQ(loaded.ShifterMap[4][2], 48);
}

TEST_F(SettingsFile, BrokenRulesFailButKeepWhatWasRead)
{
    struct Case {
        const char* text;
        SettingsKeySet keys;
        int32_t result;
    };
    const Case cases[] = {
        {"InputFeature1=4\n", SettingsKeySet::Base, -3},  // input 2 falls back to 4
        {"GearNVoltage=3200\nGearDetection=1\n", SettingsKeySet::Extended, -8},
        {"Gear5Voltage=4800\n", SettingsKeySet::Base, -13},
        {"OutputFeature1=2\n", SettingsKeySet::Base, -14},
        {"TPSThresholdVoltage=0\n", SettingsKeySet::Base, -16},
        {"TPSMinVoltage=3000\nTPSMaxVoltage=3000\nTPSThresholdVoltage=3000\n", SettingsKeySet::Base, -16},
        {"Gear2RpmSpeedRatio=854\n", SettingsKeySet::Extended, -17},
        {"Gear1RpmSpeedRatio=0\nGear2RpmSpeedRatio=0\nGear3RpmSpeedRatio=0\nGear4RpmSpeedRatio=0\n"
         "Gear5RpmSpeedRatio=0\nGear6RpmSpeedRatio=0\n",
         SettingsKeySet::Extended, -17},
        {"Gear2RpmSpeedRatio=854\n", SettingsKeySet::Base, 0},  // no ratio rule for older units
    };
    for (const Case& c : cases) {
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(c.text, loaded, c.keys), c.result) << c.text;
    }

    DeviceConfiguration loaded;
    ASSERT_EQ(Load("InputFeature1=4\nTPSMinVoltage=100\nBlipperMap3000=99\n", loaded), -3);
    EXPECT_EQ(loaded.InputFeature1, 4);
    EXPECT_EQ(loaded.TPSMinVoltage, 100);
    EXPECT_EQ(loaded.BlipperMap[3][2], 99);

    // After a broken rule the extension is not read: the caller's values stay.
    ASSERT_EQ(Load("GearNVoltage=2200\nWheelCircumference=2500\n", loaded, SettingsKeySet::Extended), -8);
    EXPECT_EQ(loaded.GearNVoltage, 2200);
    EXPECT_EQ(loaded.WheelCircumference, 0);
    EXPECT_EQ(loaded.NumOfSpeedPulses, 0);

    ASSERT_EQ(Load("Gear3RpmSpeedRatio=854\nWheelCircumference=2500\n", loaded, SettingsKeySet::Extended),
              -17);
    EXPECT_EQ(loaded.Gear3RpmSpeedRatio, 854);
    EXPECT_EQ(loaded.WheelCircumference, 2500);
}

TEST_F(SettingsFile, KeySetsOfOtherGenerations)
{
    DeviceConfiguration gen107 = MakeDefaultConfiguration(DefaultsFamily::Gen107);
    gen107.WheelCircumference = 1234;
    const std::string extended = Save(gen107, SettingsKeySet::Extended);
    DeviceConfiguration loaded;
    ASSERT_EQ(Load(extended, loaded, SettingsKeySet::Base), 0);
    EXPECT_EQ(loaded.TPSMinVoltage, 700);
    EXPECT_EQ(loaded.WheelCircumference, 0) << "older units ignore the extra keys";
    EXPECT_EQ(loaded.Gear1RpmSpeedRatio, 0);

    fs::remove(path_);
    const std::string base = Save(MakeDefaultConfiguration(DefaultsFamily::Gen103), SettingsKeySet::Base);
    ASSERT_EQ(Load(base, loaded, SettingsKeySet::Extended), 0);
    EXPECT_EQ(loaded.WheelCircumference, 2000);
    EXPECT_EQ(loaded.NumOfSpeedPulses, 4);
    EXPECT_EQ(loaded.Gear6RpmSpeedRatio, 386);
}

TEST_F(SettingsFile, VersionOneGroupIsUsedButNeverCreated)
{
    DeviceConfiguration loaded;
    ASSERT_EQ(Load("DeltaT=3\n[Version1]\nDeltaT=7\n", loaded), 0);
    EXPECT_EQ(loaded.DeltaT, 7) << "inside the group";
    ASSERT_EQ(Load("DeltaT=3\n[Version1]\nShiftLightRPM=9000\n", loaded), 0);
    EXPECT_EQ(loaded.DeltaT, 5) << "top-level keys do not count when the group exists";

    WriteText("Unknown=kept\n[Version1]\nDeltaT=7\n[Other]\nX=1\n");
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Base);
    config.DeltaT = 9;
    {
        auto store = OpenSettingsFile(path_.string());
        SaveSettingsKeys(*store, config, SettingsKeySet::Base);
        WriteAppVersion(*store);  // still top level after the keys went into the group
    }
    wxFileConfig written(wxEmptyString, wxEmptyString, path_.string(), wxEmptyString,
                         wxCONFIG_USE_LOCAL_FILE);
    EXPECT_EQ(written.Read("/Version1/DeltaT", -1L), 9);
    EXPECT_FALSE(written.HasEntry("/DeltaT"));
    EXPECT_EQ(written.Read("/AppVersion", wxString()), "26.08.01\n\n");
    EXPECT_EQ(written.Read("/Unknown", wxString()), "kept");
    EXPECT_EQ(written.Read("/Other/X", 0L), 1);

    fs::remove(path_);
    EXPECT_EQ(Save(config, SettingsKeySet::Base).find("[Version1]"), std::string::npos);
}

TEST_F(SettingsFile, OddButReadableFiles)
{
    struct Case {
        const char* what;
        std::string text;
        int32_t deltaT;
    };
    const Case cases[] = {
        {"CRLF", "ShiftLightRPM=9000\r\nDeltaT=7\r\n", 7},
        {"UTF-8 BOM",
         "\xEF\xBB\xBF"
         "DeltaT=7\nShiftLightRPM=9000\n",
         7},
        {"no final line feed", "ShiftLightRPM=9000\nDeltaT=7", 7},
        {"garbage lines", "this is not a key\n=5\n[unclosed\n]\n\x01\x02\xFF\nDeltaT=7\n", 7},
        {"comments", "; DeltaT=3\n# DeltaT=2\nDeltaT=7\n", 7},
        {"quoted value", "DeltaT=\"7\"\n", 7},
        {"escaped line feed", "DeltaT=7\\n\n", 7},
        {"escaped key", "Delta\\T=7\n", 7},
        {"group only", "[Version1]\n", 5},
        {"empty file", "", 5},
        {"NUL bytes", std::string("DeltaT=7\n\0\0\0\n", 13), 7},
        {"invalid UTF-8", "DeltaT=7\n\xC3\x28\xFF\xFE\n", 7},
        {"key twice, the last one counts", "DeltaT=7\nDeltaT=8\n", 8},
        {"entry without a name", "=5\nDeltaT=7\n", 7},
        {"group without a name", "[]\nDeltaT=7\n", 7},
        {"environment variable", "DeltaT=$VANTREL_TEST_SEVEN\n", 5},
    };
    setenv("VANTREL_TEST_SEVEN", "7", 1);
    // A malformed line must not reach the program's assertion handler.
    static bool asserted;
    asserted = false;
    const wxAssertHandler_t previous = wxSetAssertHandler(
        [](const wxString&, int, const wxString&, const wxString&, const wxString&) { asserted = true; });
    for (const Case& c : cases) {
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(c.text, loaded), 0) << c.what;
        EXPECT_EQ(loaded.DeltaT, c.deltaT) << c.what;
    }
    wxSetAssertHandler(previous);
    EXPECT_FALSE(asserted);
}

// Open takes a file only when it names "AppVersion" or a settings key;
// anything else would reach the editors as a record of fallbacks.
TEST_F(SettingsFile, OpenTakesOnlySettingsFiles)
{
    const std::string settings = "AppVersion=26.08.01\\n\\n\nDeltaT=7\n";
    // The settings above and one comment line, to exactly `size` bytes.
    const auto padded = [&settings](std::uintmax_t size) {
        return settings + "#" + std::string(size - settings.size() - 2, 'x') + "\n";
    };
    std::string random(4096, '\0');
    std::mt19937 generator(7);
    for (char& byte : random) {
        byte = static_cast<char>(generator());
    }
    struct Case {
        const char* what;
        std::string text;
        int32_t deltaT;  // 0: refused
    };
    const Case cases[] = {
        {"empty file", "", 0},
        {"random bytes", random, 0},
        {"another program's file", "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n", 0},
        {"key in a group the loader does not read", "[Other]\nDeltaT=7\n", 0},
        {"group without keys", "[Version1]\nAppVersion=26.08.01\n", 0},
        {"one byte over the limit", padded(kMaxSettingsFileSize + 1), 0},
        {"at the limit", padded(kMaxSettingsFileSize), 7},
        {"only AppVersion", "AppVersion=26.08.01\\n\\n\n", 5},
        {"one key", "DeltaT=7\n", 7},
        {"one key that is refused", "DeltaT=99\n", 5},
        {"one map key", "ShifterMap5G16000=30\n", 5},
        {"one key of the newer units in the group", "[Version1]\nWheelCircumference=2500\n", 5},
    };
    // What reaches the program's log, the user would see beside the program's own message.
    class ShownLog : public wxLog {
    public:
        ShownLog() : previous(wxLog::SetActiveTarget(this)) {}
        ~ShownLog() override { wxLog::SetActiveTarget(previous); }
        int shown = 0;

    protected:
        void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
        {
            shown += level <= wxLOG_Warning ? 1 : 0;
        }

    private:
        wxLog* previous;
    };
    for (const Case& c : cases) {
        WriteText(c.text);
        std::string complaints;
        ShownLog log;
        const auto store = OpenSettingsFileToLoad(path_.string(), &complaints);
        EXPECT_EQ(store != nullptr, c.deltaT != 0) << c.what;
        EXPECT_EQ(log.shown, 0) << c.what;
        EXPECT_EQ(complaints.empty(), c.deltaT != 0) << c.what << ": " << complaints;
        if (c.text == random) {
            EXPECT_NE(complaints.find("'=' expected"), std::string::npos) << complaints;
        }
        if (store && c.deltaT != 0) {
            DeviceConfiguration loaded;
            ClearConfiguration(loaded);
            EXPECT_EQ(LoadSettingsKeys(*store, loaded, SettingsKeySet::Base), 0) << c.what;
            EXPECT_EQ(loaded.DeltaT, c.deltaT) << c.what;
        }
    }

    wxLogNull quiet;
    EXPECT_EQ(OpenSettingsFileToLoad((dir_ / "missing.vtn").string()), nullptr);
    EXPECT_EQ(OpenSettingsFileToLoad(dir_.string()), nullptr) << "a folder";
    // A pipe is refused without opening it: reading would wait for a writer.
    const fs::path pipe = dir_ / "pipe.vtn";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(OpenSettingsFileToLoad(pipe.string()), nullptr) << "a named pipe";
}

// A file moves between machines with other locales: what is written under a
// German one (decimal comma, "." between thousands) reads the same under C,
// and the other way round.
TEST_F(SettingsFile, LocalesOfWriterAndReaderDoNotMatter)
{
    const char* const german = "de_DE.UTF-8";
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, german) == nullptr) {
        const char* run = std::getenv("LC_ALL");
        if (run != nullptr && std::string(run) == german) {
            FAIL() << german << " is not installed: run tools/install-deps.sh";
        }
        GTEST_SKIP() << german << " is not installed";
    }
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.ShiftLightRPM = 12500;
    config.WheelCircumference = 2150;
    config.Gear1RpmSpeedRatio = 1234;
    std::string written[2];
    for (int way = 0; way < 2; ++way) {
        const char* writer = way == 0 ? german : "C";
        const char* reader = way == 0 ? "C" : german;
        std::setlocale(LC_ALL, writer);
        written[way] = Save(config, SettingsKeySet::Extended);
        std::setlocale(LC_ALL, reader);
        DeviceConfiguration loaded;
        EXPECT_EQ(Load(written[way], loaded, SettingsKeySet::Extended), 0) << writer << " to " << reader;
        EXPECT_EQ(loaded, config) << writer << " to " << reader;
        fs::remove(path_);
    }
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(written[0], written[1]);
    EXPECT_NE(written[0].find("\nShiftLightRPM=12500\n"), std::string::npos);
}

}  // namespace
