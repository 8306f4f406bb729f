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
    bool verbose = false;
    bool help = false;
};

// Parses argv (without the program name). On a usage error returns nothing
// and puts the reason into `error`.
std::optional<EmulateOptions> ParseEmulateOptions(const std::vector<std::string>& args, std::string& error);

// The next serial number in a series: the trailing digits counted up, keeping their width
// ("VT000009" -> "VT000010"); a serial without trailing digits gets "-2", "-3", ...
std::string NextSerial(const std::string& serial, int step);

extern const char* const EMULATE_USAGE;
