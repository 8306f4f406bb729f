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

// bmRequestType bit 7: the data stage runs from the device to the host.
inline constexpr uint8_t USB_DIRECTION_IN = 0x80;

// The one place a setup record is put together; wIndex is 0 unless given.
constexpr UsbSetupPacket MakeSetupPacket(uint8_t requestType, uint8_t request, uint16_t value,
                                         uint16_t length, uint16_t index = 0)
{
    return UsbSetupPacket{requestType, request, value, index, length};
}

constexpr bool IsDeviceToHost(const UsbSetupPacket& setup)
{
    return (setup.bmRequestType & USB_DIRECTION_IN) != 0;
}
