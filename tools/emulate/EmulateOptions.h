// Command line of vantrel-emulate: which virtual devices to plug in and which
// command to run with them attached.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "emulator/VirtualUnit.h"

struct EmulateOptions {
    std::vector<UnitOptions> devices;
    std::vector<FaultSpec> faults;  // applied to every unit of product 0xE361
    std::vector<std::string> command;
    std::string settingsFile;  // --settings: what the units' configuration store holds
    bool verbose = false;
    bool help = false;
};

// Parses argv (without the program name). On a usage error returns nothing
// and puts the reason into `error`.
std::optional<EmulateOptions> ParseEmulateOptions(const std::vector<std::string>& args, std::string& error);

// Loads options.settingsFile (when given) as the program loads a settings
// file, with the key set of each unit's generation, into the configuration of
// every unit of product 0xE361. A file that cannot be read or that the program
// would refuse ("Loading failed") gives false and the reason in `error`.
bool LoadSettingsIntoUnits(EmulateOptions& options, std::string& error);

// A firmware version as "1.07" or "107": 100 .. 199, or nothing.
std::optional<uint16_t> ParseFirmwareVersion(const std::string& text);

// The next serial number in a series: the trailing digits counted up, keeping their width
// ("VT000009" -> "VT000010"); a serial without trailing digits gets "-2", "-3", ...
std::string NextSerial(const std::string& serial, int step);

extern const char* const EMULATE_USAGE;
