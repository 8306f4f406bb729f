// A program's one connection to a unit. It always holds a connection:
// at first the opened simulated one, and whenever a replacement cannot be
// built or opened, the opened simulated one again. It can be replaced, never
// emptied, so its users need no null checks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gui/VantrelBase.h"

// How a replacement went; on anything but Opened the simulated connection
// took over.
enum class ConnectOutcome {
    Opened,     // the built connection is open
    NoDevice,   // the builder gave nothing to connect to
    NotBuilt,   // the builder threw (a unit of unknown personality)
    NotOpened,  // built, but it did not open
};

struct ConnectResult {
    ConnectOutcome outcome = ConnectOutcome::NoDevice;
    // The USB error latched by a connection that did not open; 0 otherwise.
    int32_t openError = 0;
};

class Connection {
public:
    // Gives the next connection, unopened; null when there is none. Runs
    // after the current connection has been closed and destroyed, so a unit
    // it held is free again.
    using Builder = std::function<std::unique_ptr<VantrelBase>()>;

    // The opened simulated connection. Installs the failure log
    // (FailureLog.h) as the sink of the requests' failures.
    Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    // Closes the connection before it is destroyed.
    ~Connection();

    VantrelBase& operator*() const { return *device; }
    VantrelBase* operator->() const { return device.get(); }
    VantrelBase* Get() const { return device.get(); }

    // Closes and destroys the current connection, builds the next one and
    // opens it; when that gives nothing, throws, or does not open, the opened
    // simulated connection takes its place.
    ConnectResult Replace(const Builder& build);
    // Replace with a connection to the discovered unit of record.
    ConnectResult ReplaceWith(const UsbDevice& record);
    // Replace with the opened simulated connection.
    void ReplaceWithSimulated();

private:
    std::unique_ptr<VantrelBase> device;
};
