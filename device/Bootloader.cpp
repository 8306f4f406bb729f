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
    return ReadVersion(READ_FIRMWARE_VERSION, out);
}

int32_t Bootloader100::GetBootVersion(VersionTriple* out)
{
    return ReadVersion(READ_BOOT_VERSION, out);
}

int32_t Bootloader100::Erase(uint64_t address)
{
    return SendCommand(EraseRequest(static_cast<uint16_t>(address / GetBlockSize())));
}

int32_t Bootloader100::WriteBlock(uint64_t address, const uint8_t* data, uint64_t length)
{
    // Refused without a transfer: no data, a length of 0 (its time-out of 0
    // would make libusb wait for ever) and one beyond a control transfer's
    // 16-bit wLength.
    if (data == nullptr || length == 0 || length > 0xFFFF) {
        return ERROR_NOT_AVAILABLE;
    }
    const NamedRequest request =
        WriteBlockRequest(static_cast<uint16_t>(address / GetBlockSize()), static_cast<uint16_t>(length));
    // The time-out in milliseconds is the block length: the unit programs the
    // block before it acknowledges the data stage.
    return WriteRequest(*this, request, data, static_cast<uint32_t>(length));
}

int32_t Bootloader100::ActivateBootloader()
{
    return SendCommand(ACTIVATE_BOOTLOADER);
}

int32_t Bootloader100::ActivateApplication()
{
    return SendCommand(ACTIVATE_APPLICATION);
}

int32_t Bootloader100::ReadVersion(const NamedRequest& request, VersionTriple* out)
{
    return ReadVersionTriple(*this, request, timeoutMs, out);
}

int32_t Bootloader100::SendCommand(const NamedRequest& request)
{
    return WriteRequest(*this, request, nullptr, timeoutMs);
}
