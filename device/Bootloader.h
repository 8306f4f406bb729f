// The bootloader classes: UsbBootloader joins IBootloader to the unit's USB
// device; Bootloader100 speaks the protocol; Bootloader101 is the same
// protocol under its own release.
#pragma once

#include "device/DeviceRequests.h"
#include "device/IBootloader.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

class UsbBootloader : public IBootloader, public UsbVantrel {
public:
    explicit UsbBootloader(const UsbDevice& record) : UsbVantrel(record) {}

    // One overrider for both bases.
    bool Open() override;
    bool Close() override;
    bool IsOpen() const override;
};

class Bootloader100 : public UsbBootloader {
public:
    explicit Bootloader100(const UsbDevice& record) : UsbBootloader(record) {}

    int32_t GetFirmwareVersion(VersionTriple* out) override;
    int32_t GetBootVersion(VersionTriple* out) override;
    int32_t Erase(uint64_t address) override;
    int32_t WriteBlock(uint64_t address, const uint8_t* data, uint64_t length) override;
    int32_t ActivateBootloader() override;
    int32_t ActivateApplication() override;
    uint64_t GetBlockSize() const override { return BOOT_BLOCK_SIZE; }
    uint64_t GetHeadSize() const override { return BOOT_HEAD_SIZE; }

    uint32_t GetTimeout() const { return timeoutMs; }

    static constexpr uint64_t BOOT_BLOCK_SIZE = 64;
    static constexpr uint64_t BOOT_HEAD_SIZE = 256;

protected:
    int32_t ReadVersion(const NamedRequest& request, VersionTriple* out);
    int32_t SendCommand(const NamedRequest& request);

    uint32_t timeoutMs = TRANSFER_TIMEOUT_MS;
};

class Bootloader101 : public Bootloader100 {
public:
    using Bootloader100::Bootloader100;
};
