// Sending the named requests of DeviceRequests.h: the transfer, the check of
// the byte count and the report of a failure to the request log, in one place
// for the application and the bootloader.
#pragma once

#include <cstdint>

#include "device/DeviceRequests.h"
#include "device/VersionTriple.h"

class UsbDevice;

// What a failed read leaves as it was, for the failure log.
inline constexpr const char* KEPT_VERSION = "left the version record as it was and ";
inline constexpr const char* KEPT_CONFIGURATION = "left the configuration as it was and ";
inline constexpr const char* KEPT_LOCK_STATE = "left the lock state as it was and ";

// The IN request with its data stage read into `data` (wLength bytes), or
// the OUT request with `data` (null without a data stage) as its data stage.
// 0 when all wLength bytes moved; -99 when fewer did; the library's code (-1
// for a closed device) otherwise. A failure is reported to the request log,
// `done` saying what the caller keeps (see ReportRequestFailure).
int32_t ReadRequest(UsbDevice& device, const NamedRequest& request, uint8_t* data, uint32_t timeoutMs,
                    const char* done = "");
int32_t WriteRequest(UsbDevice& device, const NamedRequest& request, const uint8_t* data, uint32_t timeoutMs);

// One of the two 6-byte version reads. -14 without an output record (nothing
// sent); otherwise as ReadRequest, and `out` is only written after a full answer.
int32_t ReadVersionTriple(UsbDevice& device, const NamedRequest& request, uint32_t timeoutMs,
                          VersionTriple* out);
