// The 8-byte control setup record in the USB standard's layout.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct UsbSetupPacket {
    uint8_t bmRequestType;
    uint8_t bRequest;
    uint16_t wValue;
    uint16_t wIndex;
    uint16_t wLength;
};
#pragma pack(pop)

static_assert(sizeof(UsbSetupPacket) == 8, "setup packet is 8 bytes");
