#include "device/Bootloader.h"

#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "device/VendorRequests.h"

bool UsbBootloader::Open()
{
    return UsbVantrel::Open();
}

bool UsbBootloader::Close()
{
    return UsbVantrel::Close();
}

bool UsbBootloader::IsOpen() const
{
    return UsbVantrel::IsOpen();
}

int32_t Bootloader100::GetFirmwareVersion(VersionTriple* out)
{
    return ReadVersion(BOOT_VALUE_FIRMWARE, out);
}

int32_t Bootloader100::GetBootVersion(VersionTriple* out)
{
    return ReadVersion(BOOT_VALUE_BOOTLOADER, out);
}

int32_t Bootloader100::Erase(uint64_t address)
{
    return SendCommand(REQ_FLASH, static_cast<uint16_t>(address / GetBlockSize()));
}

int32_t Bootloader100::WriteBlock(uint64_t address, const uint8_t* data, uint64_t length)
{
    // Refused without a transfer: no data, a length of 0 (its time-out of 0
    // would make libusb wait for ever) and one beyond a control transfer's
    // 16-bit wLength.
    if (data == nullptr || length == 0 || length > 0xFFFF) {
        return ERROR_NOT_AVAILABLE;
    }
    const UsbSetupPacket setup{REQUEST_TYPE_OUT, REQ_FLASH, static_cast<uint16_t>(address / GetBlockSize()),
                               0, static_cast<uint16_t>(length)};
    // The time-out in milliseconds is the block length: the unit programs the
    // block before it acknowledges the data stage.
    const int32_t result = ControlTransferOut(setup, data, static_cast<uint32_t>(length));
    if (result < 0) {
        return result;
    }
    if (static_cast<uint64_t>(result) < length) {
        return ERROR_SHORT_TRANSFER;
    }
    return DEVICE_OK;
}

int32_t Bootloader100::ActivateBootloader()
{
    return SendCommand(REQ_BOOT, BOOT_VALUE_ACTIVATE_BOOTLOADER);
}

int32_t Bootloader100::ActivateApplication()
{
    return SendCommand(REQ_BOOT, BOOT_VALUE_ACTIVATE_APPLICATION);
}

int32_t Bootloader100::ReadVersion(uint16_t wValue, VersionTriple* out)
{
    return ReadVersionTriple(*this, wValue, timeoutMs, out);
}

int32_t Bootloader100::SendCommand(uint8_t request, uint16_t wValue)
{
    return SendVendorCommand(*this, request, wValue, timeoutMs);
}
