#include "LivePoll.h"

#include "Connection.h"

namespace {
// libusb's code of a transfer interrupted on this side.
constexpr int32_t kInterrupted = -10;
}  // namespace

bool DeviceErrorCount::Account(int32_t status)
{
    if (status == 0) {
        if (count > 0) {
            --count;
        }
        return false;
    }
    if (status == kInterrupted) {
        return false;
    }
    if (count < kBorne) {
        ++count;
        return false;
    }
    return true;
}

bool LivePoll::Read()
{
    const int32_t status = connection->ReadLiveData();
    if (errors.Account(status)) {
        return false;
    }
    if (status != 0) {
        return true;
    }
    LiveValues values{};
    LiveRaw raw{};
    connection->GetLiveValues(&values);
    connection->GetLiveRaw(&raw);
    for (const Listener& listener : listeners) {
        listener(values, raw);
    }
    return true;
}
