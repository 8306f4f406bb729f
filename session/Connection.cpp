#include "Connection.h"

#include <exception>

#include "FailureLog.h"

namespace {

std::unique_ptr<VantrelBase> OpenedSimulated()
{
    auto simulated = std::make_unique<VantrelBase>();
    simulated->Open();
    return simulated;
}

}  // namespace

Connection::Connection() : device(OpenedSimulated())
{
    // The failures of the unit's requests go to the toolkit's log and the
    // user's log file, whichever connection made them.
    InstallFailureLog();
}

Connection::~Connection()
{
    device->Close();
}

ConnectResult Connection::Replace(const Builder& build)
{
    device->Close();
    device.reset();

    ConnectResult result;
    std::unique_ptr<VantrelBase> next;
    try {
        next = build();
        result.outcome = next ? ConnectOutcome::Opened : ConnectOutcome::NoDevice;
    } catch (const std::exception&) {
        result.outcome = ConnectOutcome::NotBuilt;
    }
    if (next && !next->Open()) {
        result.outcome = ConnectOutcome::NotOpened;
        result.openError = next->GetLastError();
        next.reset();
    }
    device = next ? std::move(next) : OpenedSimulated();
    return result;
}

ConnectResult Connection::ReplaceWith(const UsbDevice& record)
{
    return Replace([&record] { return std::make_unique<VantrelBase>(record); });
}

void Connection::ReplaceWithSimulated()
{
    Replace([] { return std::make_unique<VantrelBase>(); });
}
