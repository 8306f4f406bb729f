// The history store on a real folder: entries are settings files Open takes,
// listed newest first, pruned, written atomically, and a folder that cannot
// be written is reported once without stopping anything.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include <wx/fileconf.h>

#include "config/SettingsKeys.h"
#include "history/HistoryStore.h"

namespace fs = std::filesystem;

namespace {

class History : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vantrel-history-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    HistoryRecord Record(const std::string& unit, const std::string& event, int32_t shiftLight,
                         std::chrono::seconds age = std::chrono::seconds(0))
    {
        HistoryRecord record;
        record.config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        record.config.ShiftLightRPM = shiftLight;
        record.unit = unit;
        record.event = event;
        record.source = unit.empty() ? "Editors" : "Unit " + unit;
        record.time = std::chrono::system_clock::now() - age;
        return record;
    }

    std::vector<int32_t> ShiftLights(const std::vector<HistoryEntry>& entries)
    {
        std::vector<int32_t> values;
        for (const HistoryEntry& entry : entries)
            values.push_back(entry.record.config.ShiftLightRPM);
        return values;
    }

    fs::path folder;
};

}  // namespace

TEST_F(History, EntriesAreSettingsFilesListedNewestFirstPerUnit)
{
    HistoryStore store(folder / "history");
    HistoryRecord invalid = Record("VT000001", "unsaved", 9000, std::chrono::seconds(30));
    invalid.config.Gear2Voltage = invalid.config.Gear1Voltage;  // kept as the editors held it
    invalid.config.ShifterMap[3][7] = 33;
    store.Keep(invalid);
    store.Keep(Record("VT000001", "read", 11000, std::chrono::seconds(20)));
    store.Keep(Record("", "open", 12000, std::chrono::seconds(10)));
    store.Keep(Record("VT000001", "write", 13000));
    store.Flush();

    const std::vector<HistoryEntry> unit = store.List("VT000001");
    EXPECT_EQ(ShiftLights(unit), (std::vector<int32_t>{13000, 11000, 9000}));
    EXPECT_EQ(unit[0].record.event, "write");
    EXPECT_EQ(unit[0].record.source, "Unit VT000001");
    EXPECT_EQ(unit[2].record.config, invalid.config);
    EXPECT_EQ(unit[0].path.parent_path(), folder / "history" / "VT000001");
    EXPECT_EQ(ShiftLights(store.List("")), std::vector<int32_t>{12000});
    EXPECT_EQ(store.List("")[0].path.parent_path(), folder / "history" / kNoUnitFolder);
    EXPECT_EQ(ShiftLights(store.ListAll()), (std::vector<int32_t>{13000, 12000, 11000, 9000}));

    // Open takes the file as any settings file.
    std::unique_ptr<wxFileConfig> file = OpenSettingsFileToLoad(wxString(unit[1].path.string()));
    ASSERT_TRUE(file);
    DeviceConfiguration loaded;
    ClearConfiguration(loaded);
    EXPECT_EQ(LoadSettingsKeys(*file, loaded, SettingsKeySet::Extended), 0);
    EXPECT_EQ(loaded.ShiftLightRPM, 11000);
    EXPECT_EQ(loaded, Record("", "", 11000).config);
}

TEST_F(History, OldestEntriesArePrunedBeyondTheLimit)
{
    HistoryStore store(folder, 3);
    for (int i = 0; i < 5; ++i)
        store.Keep(Record("VT000001", "read", 10000 + i * 100, std::chrono::seconds(10 - i)));
    store.Keep(Record("VT000002", "read", 7000));
    store.Flush();
    EXPECT_EQ(ShiftLights(store.List("VT000001")), (std::vector<int32_t>{10400, 10300, 10200}));
    EXPECT_EQ(ShiftLights(store.List("VT000002")), std::vector<int32_t>{7000});
}

TEST_F(History, WriteInterruptedBeforeTheRenameLeavesThePreviousEntries)
{
    HistoryStore store(folder);
    std::vector<std::string> failures;
    store.SetFailureHandler([&failures](const std::string& line) { failures.push_back(line); });
    store.Keep(Record("VT000001", "read", 11000, std::chrono::seconds(5)));
    store.Keep(Record("VT000001", "write", 12000, std::chrono::seconds(4)));
    store.Flush();
    const std::vector<HistoryEntry> before = store.List("VT000001");

    store.SetBeforeRename([](const fs::path&) { return false; });
    store.Keep(Record("VT000001", "read", 13000));
    store.Flush();
    const std::vector<HistoryEntry> after = store.List("VT000001");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(ShiftLights(after), ShiftLights(before));
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_TRUE(after[i].readable);
        EXPECT_EQ(after[i].path, before[i].path);
    }
    EXPECT_EQ(failures.size(), 1u);
}

TEST_F(History, FolderThatCannotBeWrittenIsReportedOnceAndKeepingGoesOn)
{
    // A file where the folder should be: no user, root included, can write there.
    {
        std::ofstream(folder / "blocked") << "x";
    }
    HistoryStore store(folder / "blocked" / "history");
    std::vector<std::string> failures;
    store.SetFailureHandler([&failures](const std::string& line) { failures.push_back(line); });
    for (int i = 0; i < 3; ++i)
        store.Keep(Record("VT000001", "read", 11000 + i));
    store.Flush();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("History not kept"), std::string::npos) << failures[0];
    EXPECT_TRUE(store.List("VT000001").empty());

    // Once it can be written again, entries are kept, and a later fault is
    // reported again.
    fs::remove(folder / "blocked");
    store.Keep(Record("VT000001", "read", 12000));
    store.Flush();
    EXPECT_EQ(store.List("VT000001").size(), 1u);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[1], "");  // working again
    fs::remove_all(folder / "blocked");
    {
        std::ofstream(folder / "blocked") << "x";
    }
    store.Keep(Record("VT000001", "read", 12500));
    store.Flush();
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_NE(failures[2].find("History not kept"), std::string::npos) << failures[2];
}

TEST_F(History, UnreadableFileIsListedAsUnreadableAndSkipped)
{
    HistoryStore store(folder);
    store.Keep(Record("VT000001", "read", 11000, std::chrono::seconds(60)));
    store.Flush();
    {
        std::ofstream(store.FolderOf("VT000001") / "20990101-000000-000-0001-write.vtn")
            << "\x01\x02 not settings";
    }
    {
        std::ofstream(store.FolderOf("VT000001") / "20260101-000000-000-0001-read.vtn.tmp") << "half";
    }
    const std::vector<HistoryEntry> entries = store.List("VT000001");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].readable);
    EXPECT_EQ(entries[0].record.event, "write");
    EXPECT_TRUE(entries[1].readable);
    EXPECT_EQ(entries[1].record.config.ShiftLightRPM, 11000);
}

// A time beyond what the clock holds (years 1678 to 2262), in a name or in a
// file, is not taken (converting it overflowed): the name's time, or none. Nor
// is a value beyond int32_t, which wrapped round into another (3000 mV here).
TEST_F(History, TimesAndValuesBeyondTheRecordAreNotTaken)
{
    using namespace std::chrono;
    HistoryStore store(folder);
    const fs::path unit = store.FolderOf("VT000001");
    fs::create_directories(unit);
    std::string kept = HistoryFileText(Record("VT000001", "read", 11000));
    const auto replace = [&kept](const std::string& key, const std::string& value) {
        const size_t at = kept.find("\n" + key + "=") + key.size() + 2;
        kept.replace(at, kept.find('\n', at) - at, value);
    };
    replace("Time", "-99999999999999999");
    replace("Gear1Voltage", "4294970296");
    std::ofstream(unit / "20261208-064242-953-0002-read.vtn") << kept;
    std::ofstream(unit / "02261208-064242-953-0001-write.vtn") << "not settings";
    const std::vector<HistoryEntry> entries = store.List("VT000001");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].readable);
    EXPECT_EQ(entries[0].record.config.Gear1Voltage, 2200) << "the loader's fallback";
    EXPECT_EQ(entries[0].record.time,
              sys_days{year{2026} / 12 / 8} + hours(6) + minutes(42) + seconds(42) + milliseconds(953));
    EXPECT_FALSE(entries[1].readable);
    EXPECT_EQ(entries[1].record.event, "write");
    EXPECT_EQ(entries[1].record.time, system_clock::time_point{});
}

TEST_F(History, KeepingNeverWaitsForTheDisk)
{
    HistoryStore store(folder);
    std::atomic<int> written{0};
    // A disk that takes 50 ms per entry.
    store.SetBeforeRename([&written](const fs::path&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ++written;
        return true;
    });
    auto longest = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 10; ++i) {
        const auto start = std::chrono::steady_clock::now();
        store.Keep(Record("VT000001", "read", 10000 + i));
        longest = std::max(longest, std::chrono::steady_clock::now() - start);
    }
    EXPECT_LT(longest, std::chrono::milliseconds(5));
    EXPECT_LT(written.load(), 10);
    store.Flush();
    EXPECT_EQ(written.load(), 10);
    EXPECT_EQ(store.List("VT000001").size(), 10u);
}

TEST_F(History, AFolderKeepsTheNewest500CopiesNamedByTimeAndEvent)
{
    HistoryStore store(folder);
    const fs::path unit = store.FolderOf("VT000001");
    fs::create_directories(unit);
    // 499 older copies; pruning goes by the names alone.
    auto older = [&unit](int i) {
        char name[64];
        std::snprintf(name, sizeof name, "20200101-000000-000-%04d-read.vtn", i);
        return unit / name;
    };
    for (int i = 0; i < 499; ++i)
        std::ofstream(older(i)) << "x";
    auto count = [&unit] { return std::distance(fs::directory_iterator(unit), fs::directory_iterator()); };

    using namespace std::chrono;
    HistoryRecord record = Record("VT000001", "read", 11000);
    record.time = sys_days{year{2026} / 12 / 8} + hours(6) + minutes(42) + seconds(42) + milliseconds(953);
    store.Keep(record);
    store.Flush();
    EXPECT_EQ(count(), 500) << "the 500th copy removes nothing";
    EXPECT_TRUE(fs::exists(unit / "20261208-064242-953-0001-read.vtn"));
    EXPECT_TRUE(fs::exists(older(0)));

    record.time += minutes(1);
    store.Keep(record);
    store.Flush();
    EXPECT_EQ(count(), 500);
    EXPECT_FALSE(fs::exists(older(0))) << "the oldest goes";
    EXPECT_TRUE(fs::exists(older(1)));
    EXPECT_TRUE(fs::exists(unit / "20261208-064342-953-0002-read.vtn"));
}

TEST(HistoryRoot, InTheUsersDataFolder)
{
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> home = saved("HOME"), data = saved("XDG_DATA_HOME");
    setenv("HOME", "/home/rider", 1);
    setenv("XDG_DATA_HOME", "/data/rider", 1);
    const fs::path fromData = DefaultHistoryRoot();
    setenv("XDG_DATA_HOME", "relative/data", 1);
    const fs::path fromRelative = DefaultHistoryRoot();
    unsetenv("XDG_DATA_HOME");
    const fs::path fromHome = DefaultHistoryRoot();
    for (const auto& [name, value] : {std::pair{"HOME", home}, std::pair{"XDG_DATA_HOME", data}}) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    EXPECT_EQ(fromData, fs::path("/data/rider/VantrelStudio/history"));
    EXPECT_EQ(fromRelative, fs::path("/home/rider/.local/share/VantrelStudio/history"));
    EXPECT_EQ(fromHome, fs::path("/home/rider/.local/share/VantrelStudio/history"));
}
