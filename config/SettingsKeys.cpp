#include "SettingsKeys.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <span>
#include <string>
#include <system_error>

#include <wx/confbase.h>
#include <wx/debug.h>
#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/stream.h>
#include <wx/string.h>
#include <wx/thread.h>

#include "AppVersion.h"
#include "DefaultMaps.h"

namespace {

using C = DeviceConfiguration;

// Files written by older programs keep their settings in this group.
const char* const kVersionGroup = "/Version1";

// One scalar key: its field, the values a file may give it and what a missing
// or refused value turns into. The fallbacks are the loader's own constants,
// not any generation's defaults.
struct ScalarKey {
    const char* name;
    ConfigField field;
    int32_t min;
    int32_t max;
    int32_t fallback;
    bool (*accepts)(long value) = nullptr;  // replaces min/max when set
};

// A save writes 4 for a four-pulse setup and the unit takes 1, 2 and 4, so a
// load takes all three back; refusing 4 would turn it into 1 on every round trip.
bool IsPulsesSetting(long value)
{
    return value == 1 || value == 2 || value == 4;
}

// In writing order.
const ScalarKey kBaseKeys[] = {
    {"InputFeature1", &C::InputFeature1, 0, 12, 2},
    {"InputFeature2", &C::InputFeature2, 0, 12, 4},
    {"InputFeature3", &C::InputFeature3, 0, 12, 6},
    {"InputFeature4", &C::InputFeature4, 0, 12, 8},
    {"InputFeature5", &C::InputFeature5, 0, 12, 10},
    {"InputFeature6", &C::InputFeature6, 0, 12, 0},
    {"PulsesPerTwoRevolutions", &C::PulsesPerTwoRevolutions, 1, 4, 1, IsPulsesSetting},
    {"GearNVoltage", &C::GearNVoltage, 0, 5000, 5000},
    {"Gear1Voltage", &C::Gear1Voltage, 0, 5000, 2200},
    {"Gear2Voltage", &C::Gear2Voltage, 0, 5000, 2500},
    {"Gear3Voltage", &C::Gear3Voltage, 0, 5000, 3200},
    {"Gear4Voltage", &C::Gear4Voltage, 0, 5000, 3800},
    {"Gear5Voltage", &C::Gear5Voltage, 0, 5000, 4400},
    {"Gear6Voltage", &C::Gear6Voltage, 0, 5000, 4800},
    {"OutputFeature1", &C::OutputFeature1, 0, 3, 1},
    {"OutputFeature2", &C::OutputFeature2, 0, 3, 2},
    {"ShiftLightRPM", &C::ShiftLightRPM, 1000, 16000, 10000},
    {"WarmupMaxRPM", &C::WarmupMaxRPM, 500, 16000, 3000},
    {"DelayBetweenShifting", &C::DelayBetweenShifting, 0, 500, 100},
    {"TPSMinVoltage", &C::TPSMinVoltage, 0, 5000, 0},
    {"TPSMaxVoltage", &C::TPSMaxVoltage, 0, 5000, 5000},
    {"TPSThresholdVoltage", &C::TPSThresholdVoltage, 0, 5000, 2200},
    {"DelayBetweenBlipping", &C::DelayBetweenBlipping, 0, 500, 100},
    {"WarmupActiveTime", &C::WarmupActiveTime, 0, 500, 200},
    {"WarmUpPeriod", &C::WarmUpPeriod, 0, 2000, 1500},
    {"ShiftingMode", &C::ShiftingMode, 0, 2, 2},
    {"DeltaT", &C::DeltaT, 1, 10, 5},
    {"IgnitionMode", &C::IgnitionMode, 0, 3, 0},
};

// Generations with a speed sensor write these after the maps.
const ScalarKey kExtendedKeys[] = {
    {"NumOfSpeedPulses", &C::NumOfSpeedPulses, 1, 32, 4},
    {"Gear1RpmSpeedRatio", &C::Gear1RpmSpeedRatio, 0, 1500, 854},
    {"Gear2RpmSpeedRatio", &C::Gear2RpmSpeedRatio, 0, 1500, 645},
    {"Gear3RpmSpeedRatio", &C::Gear3RpmSpeedRatio, 0, 1500, 526},
    {"Gear4RpmSpeedRatio", &C::Gear4RpmSpeedRatio, 0, 1500, 459},
    {"Gear5RpmSpeedRatio", &C::Gear5RpmSpeedRatio, 0, 1500, 415},
    {"Gear6RpmSpeedRatio", &C::Gear6RpmSpeedRatio, 0, 1500, 386},
    {"GearDetection", &C::GearDetection, 0, 2, 0},
    {"WheelCircumference", &C::WheelCircumference, 1000, 3000, 2000},
};

const char* const kBlipperRowNames[kMapRows] = {"BlipperMap", "BlipperMap3G", "BlipperMap4G", "BlipperMap5G",
                                                "BlipperMap6G"};
const char* const kShifterRowNames[kMapRows] = {"ShifterMap", "ShifterMap2G", "ShifterMap3G", "ShifterMap4G",
                                                "ShifterMap5G"};
constexpr int32_t kBlipperMaxCell = 220;
constexpr int32_t kShifterMaxCell = 150;
constexpr int32_t kMinCell = 30;  // 0 switches the cell off; anything else must be at least this

// The name of every key as the store takes it, made once per thread (a
// wxString keeps a converted copy of itself, so threads do not share them).
// Made for each read or write, a scalar key's name cost a conversion from a C
// string and a map cell's a wxString::Format with its buffer of a thousand
// characters: most of the time a load or a save took.
struct KeyNames {
    wxString base[std::size(kBaseKeys)];
    wxString extended[std::size(kExtendedKeys)];
    wxString blipper[kMapRows][kMapCells];
    wxString shifter[kMapRows][kMapCells];
};

const KeyNames& Names()
{
    static thread_local const KeyNames names = [] {
        KeyNames made;
        std::transform(std::begin(kBaseKeys), std::end(kBaseKeys), made.base,
                       [](const ScalarKey& key) { return wxString::FromAscii(key.name); });
        std::transform(std::begin(kExtendedKeys), std::end(kExtendedKeys), made.extended,
                       [](const ScalarKey& key) { return wxString::FromAscii(key.name); });
        for (int row = 0; row < kMapRows; ++row) {
            for (int cell = 0; cell < kMapCells; ++cell) {
                const std::string rpm = std::to_string((cell + 1) * 1000);
                made.blipper[row][cell] = wxString::FromAscii((kBlipperRowNames[row] + rpm).c_str());
                made.shifter[row][cell] = wxString::FromAscii((kShifterRowNames[row] + rpm).c_str());
            }
        }
        return made;
    }();
    return names;
}

// A whole number as the store writes it, without wxString::Format (see above).
wxString NumberText(long value)
{
    return wxString::FromAscii(std::to_string(value).c_str());
}

// Reads a whole number; anything that is not one (including values beyond
// a long) counts as missing.
bool ReadNumber(wxConfigBase& store, const wxString& key, long& value)
{
    long read = 0;
    if (!store.Read(key, &read)) {
        return false;
    }
    value = read;
    return true;
}

void LoadScalars(wxConfigBase& store, DeviceConfiguration& config, std::span<const ScalarKey> keys,
                 const wxString* names)
{
    for (size_t i = 0; i < keys.size(); ++i) {
        const ScalarKey& key = keys[i];
        long value = 0;
        // Range-checked as a long: a value beyond an int must not wrap into range.
        const bool accepted =
            ReadNumber(store, names[i], value) &&
            (key.accepts != nullptr ? key.accepts(value) : value >= key.min && value <= key.max);
        config.*key.field = accepted ? static_cast<int32_t>(value) : key.fallback;
    }
}

void LoadMapRow(wxConfigBase& store, const wxString (&keys)[kMapCells], int32_t maxCell,
                int32_t (&row)[kMapCells])
{
    for (int cell = 0; cell < kMapCells; ++cell) {
        long value = 0;
        if (ReadNumber(store, keys[cell], value) && (value == 0 || (value >= kMinCell && value <= maxCell))) {
            row[cell] = static_cast<int32_t>(value);
        }
    }
}

void SaveScalars(wxConfigBase& store, const DeviceConfiguration& config, std::span<const ScalarKey> keys,
                 const wxString* names)
{
    for (size_t i = 0; i < keys.size(); ++i) {
        store.Write(names[i], NumberText(config.*keys[i].field));
    }
}

void SaveMap(wxConfigBase& store, const wxString (&keys)[kMapRows][kMapCells],
             const int32_t (&map)[kMapRows][kMapCells])
{
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            store.Write(keys[row][cell], NumberText(map[row][cell]));
        }
    }
}

// Enters "/Version1" when the store has it and returns to the previous path
// when done, so that top-level entries written afterwards stay top-level.
class SettingsGroup {
public:
    explicit SettingsGroup(wxConfigBase& store) : store_(store), previous_(store.GetPath())
    {
        if (store_.HasGroup(kVersionGroup)) {
            store_.SetPath(kVersionGroup);
        }
    }
    ~SettingsGroup() { store_.SetPath(previous_.IsEmpty() ? wxString("/") : previous_); }
    SettingsGroup(const SettingsGroup&) = delete;
    SettingsGroup& operator=(const SettingsGroup&) = delete;

private:
    wxConfigBase& store_;
    wxString previous_;
};

// The store asserts on some malformed lines while it parses a file (a line
// "=5" has an entry without a name) and then carries on. A file from elsewhere
// is input, not a fault of the program: such lines give warnings instead of
// the assertion dialog.
class ParsingAssertsAsWarnings {
public:
    ParsingAssertsAsWarnings() : previous_(wxSetAssertHandler(&Warn)) {}
    ~ParsingAssertsAsWarnings() { wxSetAssertHandler(previous_); }
    ParsingAssertsAsWarnings(const ParsingAssertsAsWarnings&) = delete;
    ParsingAssertsAsWarnings& operator=(const ParsingAssertsAsWarnings&) = delete;

private:
    static void Warn(const wxString&, int, const wxString&, const wxString& cond, const wxString&)
    {
        wxLogWarning("Settings file: malformed line (%s).", cond);
    }
    wxAssertHandler_t previous_;
};

// What the toolkit logs while it parses a settings file (a line without '=',
// a malformed group name) is collected for the caller instead of reaching the
// user: the program says in its own words that the file could not be loaded.
class ParserComplaints : public wxLog {
public:
    ParserComplaints() : previous_(Install(this)) {}
    ~ParserComplaints() override { Install(previous_); }
    ParserComplaints(const ParserComplaints&) = delete;
    ParserComplaints& operator=(const ParserComplaints&) = delete;

    const std::string& Text() const { return text_; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override
    {
        if (level > wxLOG_Warning) {
            return;
        }
        text_ += (text_.empty() ? "" : "; ") + message.utf8_string();
    }

private:
    static wxLog* Install(wxLog* target)
    {
        return wxThread::IsMain() ? wxLog::SetActiveTarget(target) : wxLog::SetThreadActiveTarget(target);
    }
    wxLog* previous_;
    std::string text_;
};

std::unique_ptr<wxFileConfig> Prepared(std::unique_ptr<wxFileConfig> store)
{
    // A settings file moves between machines: "$HOME" in a value is text, not
    // this machine's environment.
    store->SetExpandEnvVars(false);
    return store;
}

}  // namespace

int32_t SaveSettingsKeys(wxConfigBase& store, const DeviceConfiguration& config, SettingsKeySet keys)
{
    SettingsGroup group(store);
    const KeyNames& names = Names();
    SaveScalars(store, config, kBaseKeys, names.base);
    SaveMap(store, names.blipper, config.BlipperMap);
    SaveMap(store, names.shifter, config.ShifterMap);
    if (keys == SettingsKeySet::Extended) {
        SaveScalars(store, config, kExtendedKeys, names.extended);
    }
    return 0;
}

int32_t LoadSettingsKeys(wxConfigBase& store, DeviceConfiguration& config, SettingsKeySet keys)
{
    SettingsGroup group(store);
    const KeyNames& names = Names();
    LoadScalars(store, config, kBaseKeys, names.base);

    // A file without the rows of gears 3-6 repeats its gear-2 row in them.
    SetRow(config.BlipperMap[0], kDefaultBlipperRow);
    LoadMapRow(store, names.blipper[0], kBlipperMaxCell, config.BlipperMap[0]);
    for (int row = 1; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            config.BlipperMap[row][cell] = config.BlipperMap[0][cell];
        }
        LoadMapRow(store, names.blipper[row], kBlipperMaxCell, config.BlipperMap[row]);
    }
    // Shifter rows missing from a file keep the fixed defaults of their gear.
    for (int row = 0; row < kMapRows; ++row) {
        SetRow(config.ShifterMap[row], kDefaultShifterRows[row]);
        LoadMapRow(store, names.shifter[row], kShifterMaxCell, config.ShifterMap[row]);
    }

    if (const int32_t result = CheckConsistency(config); result != 0) {
        return result;
    }
    if (keys == SettingsKeySet::Extended) {
        LoadScalars(store, config, kExtendedKeys, names.extended);
        return CheckRatioConsistency(config);
    }
    return 0;
}

void WriteAppVersion(wxConfigBase& store)
{
    store.Write("/AppVersion", wxString::Format("%s.%02d\n\n", kAppVersion, kAppBuild));
}

std::unique_ptr<wxFileConfig> OpenSettingsFile(const wxString& path, std::string* complaints)
{
    ParserComplaints collected;
    std::unique_ptr<wxFileConfig> store;
    {
        ParsingAssertsAsWarnings quiet;
        // The file alone: with a global file as well, wxFileConfig would
        // also read /etc/<program>.conf and fill in what the file lacks.
        store = Prepared(std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, path, wxEmptyString,
                                                        wxCONFIG_USE_LOCAL_FILE, wxConvAuto()));
    }
    if (complaints != nullptr) {
        *complaints = collected.Text();
    }
    return store;
}

bool HasSettingsEntries(wxConfigBase& store)
{
    if (store.HasEntry("/AppVersion")) {
        return true;
    }
    SettingsGroup group(store);
    const KeyNames& names = Names();
    const auto has = [&store](const wxString& name) { return store.HasEntry(name); };
    return std::any_of(std::begin(names.base), std::end(names.base), has) ||
           std::any_of(std::begin(names.extended), std::end(names.extended), has) ||
           std::any_of(&names.blipper[0][0], &names.blipper[0][0] + kMapRows * kMapCells, has) ||
           std::any_of(&names.shifter[0][0], &names.shifter[0][0] + kMapRows * kMapCells, has);
}

std::unique_ptr<wxFileConfig> OpenSettingsFileToLoad(const wxString& path, std::string* complaints)
{
    std::string ignored;
    std::string& problem = complaints != nullptr ? *complaints : ignored;
    problem.clear();
    // Asked before the store reads the file whole: a folder, a device or a
    // pipe would fail or never end, a huge file would fill the memory.
    const std::filesystem::path file(path.fn_str().data());
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        problem = "not a regular file";
        return nullptr;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxSettingsFileSize) {
        problem = error ? error.message() : "larger than " + std::to_string(kMaxSettingsFileSize) + " bytes";
        return nullptr;
    }
    std::unique_ptr<wxFileConfig> store = OpenSettingsFile(path, &problem);
    if (!HasSettingsEntries(*store)) {
        problem += (problem.empty() ? "" : "; ") + std::string("no settings entry");
        return nullptr;
    }
    return store;
}

std::unique_ptr<wxFileConfig> ReadSettingsStream(wxInputStream& stream)
{
    ParserComplaints collected;
    ParsingAssertsAsWarnings quiet;
    return Prepared(std::make_unique<wxFileConfig>(stream, wxConvAuto()));
}

std::vector<SettingsScalarKey> SettingsScalarKeys()
{
    std::vector<SettingsScalarKey> keys;
    for (const std::span<const ScalarKey> table :
         {std::span<const ScalarKey>(kBaseKeys), std::span<const ScalarKey>(kExtendedKeys)}) {
        for (const ScalarKey& key : table) {
            keys.push_back({key.name, key.field});
        }
    }
    return keys;
}

const char* BlipperRowKeyName(int row)
{
    return kBlipperRowNames[row];
}

const char* ShifterRowKeyName(int row)
{
    return kShifterRowNames[row];
}

const wxString& BlipperCellKeyName(int row, int cell)
{
    return Names().blipper[row][cell];
}

const wxString& ShifterCellKeyName(int row, int cell)
{
    return Names().shifter[row][cell];
}
