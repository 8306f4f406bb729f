// Faults that a virtual unit can be told to produce on its transfers: a
// stalled request, a request that never completes (the host's time-out), a
// short transfer, a pulled cable, or a request acknowledged and then
// forgotten. A fault fires at a chosen request code or after a number of
// transfers, once or several times.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

enum class FaultKind : uint8_t {
    Stall,       // the unit answers with a STALL handshake (libusb: -9, LIBUSB_ERROR_PIPE)
    Timeout,     // the unit never completes the transfer; the host times out (libusb: -7)
    Short,       // the unit moves fewer bytes than asked for (the transfer itself succeeds)
    Disconnect,  // the cable is pulled in the middle of the transfer (libusb: -4)
    Drop,        // an OUT request is acknowledged but not acted on (a store that did not take)
};

// What a fault is aimed at.
inline constexpr int FAULT_ANY_TRANSFER = -1;      // every control and interrupt transfer
inline constexpr int FAULT_LIVE_ENDPOINT = 0x181;  // interrupt reads on endpoint 0x81
// Values 0x00 .. 0xFF aim at the vendor control request with that bRequest.

struct FaultSpec {
    FaultKind kind = FaultKind::Stall;
    int target = FAULT_ANY_TRANSFER;
    // Matching transfers that pass untouched before the fault fires (0: the first one fails).
    uint32_t skip = 0;
    // Matching transfers that fail once the fault has fired; 0 means every one from then on.
    uint32_t count = 1;
    // Short: bytes actually moved; a negative value means one byte less than asked for.
    int32_t shortLength = -1;
};

// Parses the command-line form used by vantrel-emulate:
//   <kind>[@<target>][+<skip>][x<count>][=<short length>]
// kind: stall | timeout | short | disconnect | drop; target: a request code (decimal
// or 0x..), "live" or "any" (default any). Examples: "stall@0x00",
// "timeout@live+3", "short@0x02=10", "disconnect+40", "stall@1x0".
// Returns nothing for a malformed text.
std::optional<FaultSpec> ParseFaultSpec(const std::string& text);
std::string FormatFaultSpec(const FaultSpec& fault);

// The faults planned for one unit, consulted once per transfer. Thread-safe.
class FaultPlan {
public:
    void Add(const FaultSpec& fault);
    void Clear();
    // Counts the transfer against every planned fault aimed at `target` (a
    // request code or FAULT_LIVE_ENDPOINT) and returns the first one that fires.
    std::optional<FaultSpec> Next(int target);
    // Faults that have fired so far.
    uint32_t FiredCount() const;

private:
    struct Entry {
        FaultSpec spec;
        uint32_t seen = 0;
        uint32_t fired = 0;
    };
    mutable std::mutex mutex;
    std::vector<Entry> entries;
    uint32_t firedTotal = 0;
};
