// The unit on USB: opens configuration 1 and interface 0, insists on the
// vendor class, reports its version and mode (application or bootloader).
#pragma once

#include <cstdint>

#include "UsbDevice.h"

enum DeviceMode : uint8_t {
    DEVICE_MODE_APPLICATION = 0,
    DEVICE_MODE_BOOTLOADER = 1,
};

class UsbVantrel : public UsbDevice {
public:
    UsbVantrel() = default;
    explicit UsbVantrel(const UsbDevice& record) : UsbDevice(record) {}
    ~UsbVantrel() override = default;

    bool Open() override;  // true only when open, configured and claimed
    bool IsOpen() const override;
    bool Close() override;
    virtual uint16_t GetVersion() const;
    // 0 or 1; throws std::runtime_error("unknown device subclass") otherwise.
    virtual uint8_t GetDeviceMode() const;
};
