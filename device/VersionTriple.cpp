#include "device/VersionTriple.h"

#include "device/DeviceRequests.h"

bool ParseVersionTriple(std::span<const uint8_t> payload, VersionTriple& triple)
{
    if (payload.size() < VERSION_REPLY_LENGTH) {
        return false;
    }
    auto word = [&](size_t offset) -> uint32_t {
        return static_cast<uint32_t>(payload[offset]) | (static_cast<uint32_t>(payload[offset + 1]) << 8);
    };
    triple.w0 = word(0);
    triple.w1 = word(2);
    triple.w2 = word(4);
    return true;
}
