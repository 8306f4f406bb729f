// What list and info tell of a unit: its serial number, the mode it runs in,
// its firmware and bootloader versions as "1.08", and where it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/Json.h"

class VantrelBase;
struct UsbDevice;

struct UnitFacts {
    std::string serial;
    std::string mode;                       // "application", "bootloader" or "unknown"
    std::optional<std::string> firmware;    // none: no valid application, or not known
    std::optional<std::string> bootloader;  // none: not known (the unit could not be asked)
    uint8_t bus = 0;
    uint8_t address = 0;
    std::string path;  // "USB 1:3.5"
};

// From the descriptor alone: the version of the mode the unit runs in.
UnitFacts FactsOf(const UsbDevice& record);
// Completes the facts by asking the opened unit for its two versions.
void AskVersions(VantrelBase& unit, UnitFacts& facts);

// "1.08" of a version word of the unit (0x0108).
std::string VersionWordText(uint32_t word);
// serial, mode, firmware, bootloader, bus, address, path.
JsonObject FactsJson(const UnitFacts& facts);
// "VT000001  application  firmware 1.08  bootloader 1.00  USB 1:3.5"; "-"
// for a missing serial number or version.
std::string FactsLine(const UnitFacts& facts);
