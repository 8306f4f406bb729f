// The unit in bootloader mode: version reads, flash erase and block writes,
// and the restarts between the two personalities. Every operation returning
// int32_t returns a code of DeviceResult.h or a non-negative byte count.
#pragma once

#include <cstdint>

#include "device/VersionTriple.h"

class IBootloader {
public:
    virtual ~IBootloader() = default;

    virtual bool Open() = 0;
    virtual bool Close() = 0;
    virtual bool IsOpen() const = 0;

    // -14 for a null out (nothing sent), -99 for fewer than 6 bytes (out kept).
    virtual int32_t GetFirmwareVersion(VersionTriple* out) = 0;
    virtual int32_t GetBootVersion(VersionTriple* out) = 0;

    // Erases the application flash from the block holding address; the raw
    // transfer result.
    virtual int32_t Erase(uint64_t address) = 0;
    // Writes length bytes at a byte address (a multiple of GetBlockSize()),
    // waiting length milliseconds. 0, -99 for a short write, or the library
    // code.
    virtual int32_t WriteBlock(uint64_t address, const uint8_t* data, uint64_t length) = 0;

    // Restart into the bootloader / the application; the raw transfer result.
    virtual int32_t ActivateBootloader() = 0;
    virtual int32_t ActivateApplication() = 0;

    // Flash addressing unit on the wire and length of every written block.
    virtual uint64_t GetBlockSize() const = 0;
    // Leading part of an image (the vector table) that an update writes last.
    virtual uint64_t GetHeadSize() const = 0;
};
