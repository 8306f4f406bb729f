#include "device/VendorRequests.h"

#include <array>

#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "usb/UsbDevice.h"

int32_t ReadVersionTriple(UsbDevice& device, uint16_t wValue, uint32_t timeoutMs, VersionTriple* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    std::array<uint8_t, VERSION_REPLY_LENGTH> reply{};
    const UsbSetupPacket setup{REQUEST_TYPE_IN, REQ_BOOT, wValue, 0, VERSION_REPLY_LENGTH};
    const int32_t result = device.ControlTransferIn(setup, reply.data(), timeoutMs);
    if (result < 0) {
        return result;
    }
    if (result < static_cast<int32_t>(VERSION_REPLY_LENGTH)) {
        return ERROR_SHORT_TRANSFER;
    }
    ParseVersionTriple(reply, *out);
    return DEVICE_OK;
}

int32_t SendVendorCommand(UsbDevice& device, uint8_t request, uint16_t wValue, uint32_t timeoutMs)
{
    const UsbSetupPacket setup{REQUEST_TYPE_OUT, request, wValue, 0, 0};
    return device.ControlTransferOut(setup, nullptr, timeoutMs);
}
