// Failures of the requests to the unit, one line each: which request, why it
// failed and what the program did next. The device objects only report them;
// the connection installs the sink that keeps the lines (session/FailureLog.h
// hands them to the toolkit's log and appends them to a file).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "usb/UsbSetupPacket.h"

using RequestLogSink = std::function<void(const std::string& line)>;

// Installs `sink` (an empty one drops the lines) and returns the one it replaces.
RequestLogSink SetRequestLogSink(RequestLogSink sink);

// "read configuration (0x00 IN, 196 bytes)", "set mode (0x03 OUT, value 3)".
std::string DescribeRequest(const char* name, const UsbSetupPacket& setup);
// "read live report (endpoint 0x81 IN, 16 bytes)".
std::string DescribeInterruptRead(const char* name, uint8_t endpoint, int32_t length);

// Why a transfer that was to move `expected` bytes ended with `result`: libusb's
// name of a negative code, "device not open, nothing sent" for the -1 of a
// closed device, "short transfer (n of m bytes)" for a count below `expected`.
std::string TransferFailureReason(int32_t result, int32_t expected, bool wasOpen);

// Hands the sink "<request> failed: <reason>; <done>returned <code> to the caller".
// `done` says what the program did besides and ends in " and "
// ("left the configuration as it was and "), or is empty.
void ReportRequestFailure(const std::string& request, const std::string& reason, const char* done,
                          int32_t returned);
