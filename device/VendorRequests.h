// The two request shapes that the application and the bootloader share: the
// 6-byte version read and the data-less command.
#pragma once

#include <cstdint>

#include "device/VersionTriple.h"

class UsbDevice;

// IN request 0x01 with `wValue` for the 6-byte version triple. -14 without an
// output record (nothing sent); the library's code on a failed transfer; -99
// for a short answer, which leaves `out` as it was; 0 otherwise.
int32_t ReadVersionTriple(UsbDevice& device, uint16_t wValue, uint32_t timeoutMs, VersionTriple* out);

// OUT vendor request without data; the transfer's result unchanged.
int32_t SendVendorCommand(UsbDevice& device, uint8_t request, uint16_t wValue, uint32_t timeoutMs);
