// What a command that talks to a unit holds: the program's one connection,
// opened on the unit the user chose, the failures of the requests sent to
// it, and the unit's history. Each step says what went wrong itself and
// gives the exit status for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cli/Console.h"
#include "cli/RequestFailures.h"
#include "cli/UnitFacts.h"
#include "cli/UnitHistory.h"
#include "config/DeviceConfiguration.h"
#include "session/Connection.h"

class UnitSession {
public:
    explicit UnitSession(const Console& console);

    // Opens the unit with that serial number, or the only one attached; the
    // attached units are listed when there are several and none is chosen.
    // kExitSuccess, or the status that ends the command.
    int Open(const std::optional<std::string>& wanted);
    // Open, for a command that needs the unit's configuration: a unit in its
    // bootloader has none and is refused.
    int OpenApplication(const std::optional<std::string>& wanted);
    // Whether the configuration is locked; false where the generation has no lock.
    int ReadLockState(bool& locked);
    // Reads the configuration unless it is locked (none then, and nothing said).
    int ReadUnlessLocked(std::optional<DeviceConfiguration>& config);
    // Reads the configuration of an unlocked unit (a locked one is refused).
    int ReadConfiguration(DeviceConfiguration& config);
    // Keeps a history entry of the unit; says so when it could not be kept.
    bool Keep(const DeviceConfiguration& config, const char* event);
    // Keeps what the unit holds before a change, as the "read" it is; when it
    // cannot be kept the change is refused.
    int KeepBeforeChange(const DeviceConfiguration& config);
    // The record as this unit gives it back after keeping it: its image's
    // scales and fields (config/ConfigurationImage.h).
    DeviceConfiguration AsStored(const DeviceConfiguration& config) const;
    // Says that `what` failed, with the failed requests as the failure log
    // words them (or the code when no request failed), and gives kExitUnitFailed.
    int UnitFailed(const std::string& what, int32_t code);

    VantrelBase& Unit() const { return *connection; }
    Connection& GetConnection() { return connection; }
    const std::string& Serial() const { return facts.serial; }
    // The chosen unit as its descriptor described it.
    const UnitFacts& Facts() const { return facts; }
    UnitHistory& History() { return *history; }
    const Console& GetConsole() const { return console; }

private:
    const Console& console;
    Connection connection;
    RequestFailures failures;  // after the connection, which installs the failure log
    size_t failuresSaid = 0;
    UnitFacts facts;
    std::unique_ptr<UnitHistory> history;
};
