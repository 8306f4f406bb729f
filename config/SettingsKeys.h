// The keys of a settings file (.vtn): the base key set of every generation and
// the extension that generations 107 and 108 read and write.
#pragma once

#include <cstdint>
#include <memory>

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
std::unique_ptr<wxFileConfig> OpenSettingsFile(const wxString& path);

// A store of settings text read from a stream, parsed as OpenSettingsFile
// parses a file. No file is behind it: destroying it writes nothing.
std::unique_ptr<wxFileConfig> ReadSettingsStream(wxInputStream& stream);
