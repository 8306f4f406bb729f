// The keys of a settings file (.vtn): the base key set of every generation and
// the extension that generations 107 and 108 read and write.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DeviceConfiguration.h"

class wxConfigBase;
class wxFileConfig;
class wxInputStream;
class wxString;

enum class SettingsKeySet {
    Base,      // generations 100-106
    Extended,  // generations 107, 108 and the simulated device
};

// Writes every key of the key set from the record (into "/Version1" when the
// store already has that group). Returns 0.
int32_t SaveSettingsKeys(wxConfigBase& store, const DeviceConfiguration& config, SettingsKeySet keys);

// Reads every key of the key set into the record, each with its range and
// fallback, then applies the consistency rules. The record holds the values
// read even when the result is negative.
int32_t LoadSettingsKeys(wxConfigBase& store, DeviceConfiguration& config, SettingsKeySet keys);

// The "AppVersion" entry every save writes at the top level.
void WriteAppVersion(wxConfigBase& store);

// The store of a settings file on the given path (local and global file
// flags, empty application and vendor names). Destroying it writes the file.
// Values are taken literally: "$NAME" is not expanded from the environment.
// What the parser finds wrong with the file is never shown to the user: it
// goes to `complaints` when given ("" for none), and is dropped otherwise.
std::unique_ptr<wxFileConfig> OpenSettingsFile(const wxString& path, std::string* complaints = nullptr);

// The largest file Open takes; a settings file has some two hundred short lines.
constexpr std::uintmax_t kMaxSettingsFileSize = 1024 * 1024;

// Whether the store holds "AppVersion" or at least one settings key of any
// generation (inside "/Version1" when it has that group). Loading a store with
// neither gives every fallback: it was never a settings file.
bool HasSettingsEntries(wxConfigBase& store);

// The store of a settings file on the given path to load from, as
// OpenSettingsFile makes it; null when the path is not a settings file: not a
// regular file, larger than kMaxSettingsFileSize (not read at all then), or
// without any entry HasSettingsEntries looks for. `complaints`, when given,
// says why, with the parser's complaints about the file.
std::unique_ptr<wxFileConfig> OpenSettingsFileToLoad(const wxString& path, std::string* complaints = nullptr);

// A store of settings text read from a stream, parsed as OpenSettingsFile
// parses a file. No file is behind it: destroying it writes nothing.
std::unique_ptr<wxFileConfig> ReadSettingsStream(wxInputStream& stream);

// The name and field of every scalar settings key in writing order: the base
// keys, then the extension of generations 107 and 108.
struct SettingsScalarKey {
    const char* name;
    ConfigField field;
};
std::vector<SettingsScalarKey> SettingsScalarKeys();

// The key names of the map rows, gear 2 ... 6 ("BlipperMap", "BlipperMap3G",
// ...) and gear 1 ... 5 ("ShifterMap", "ShifterMap2G", ...).
const char* BlipperRowKeyName(int row);
const char* ShifterRowKeyName(int row);
// The key of one map cell, row as above, cell 0 ... 15 for 1000 ... 16000 rpm
// ("BlipperMap3G4000"); made once for each thread, for that thread's use.
const wxString& BlipperCellKeyName(int row, int cell);
const wxString& ShifterCellKeyName(int row, int cell);
