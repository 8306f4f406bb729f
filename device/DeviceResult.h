// Result codes of every device operation. Operations return a signed 32-bit
// code: 0 on success, a negative libusb code passed through unchanged when a
// transfer fails (-7 time-out, -4 device gone, -9 pipe error, ...), or one of
// the codes below.
#pragma once

#include <cstdint>

inline constexpr int32_t DEVICE_OK = 0;
// The transfer primitives refuse a device that is not open.
inline constexpr int32_t ERROR_NOT_OPEN = -1;
// No output record was given, there is no device object of the needed kind,
// or this generation does not offer the operation. Nothing is sent.
inline constexpr int32_t ERROR_NOT_AVAILABLE = -14;
// The configuration image read from the unit cannot be decoded (its pulses
// byte is not 0, 1 or 2), or the record to be written cannot be encoded (its
// PulsesPerTwoRevolutions is not 1, 2 or 4). Nothing of it is used or sent.
inline constexpr int32_t ERROR_INVALID_IMAGE = -20;
// The transfer moved fewer bytes than the request needs, or no complete live
// report has been received yet. A short answer is never partly used.
inline constexpr int32_t ERROR_SHORT_TRANSFER = -99;
