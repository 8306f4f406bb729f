// What a connection allows: which commands to the unit are enabled, and the
// state of the connection's LED in the status bar.
#pragma once

class VantrelBase;

// The LED's states, in the order of its colours.
enum class ConnectionLed { Unlit = 0, Bootloader = 1, UnitReady = 2 };

struct CommandEnabling {
    bool readWrite = false;       // Read and Write
    bool lock = false;            // Lock
    bool firmwareUpdate = false;  // Firmware update
    bool newAndEditors = false;   // New and the editors' pages
    bool warmUp = false;          // the warm-up keep-alive
    ConnectionLed led = ConnectionLed::Unlit;
    bool operator==(const CommandEnabling&) const = default;
};

// What the connection answers about itself.
struct ConnectionFacts {
    bool open = false;
    bool simulated = false;
    bool bootloader = false;
    bool canLock = false;
    bool hasWarmUp = false;
};

CommandEnabling EnablingFor(const ConnectionFacts& facts);
ConnectionFacts FactsOf(VantrelBase& connection);
