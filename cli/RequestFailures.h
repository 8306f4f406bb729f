// The failures of the requests a command sends, as the failure log words
// them ("write configuration (0x00 OUT, 212 bytes) failed:
// LIBUSB_ERROR_NO_DEVICE; returned -4 to the caller"): kept for the message
// the command ends with, and passed on to the sink installed before (the
// failure log) as well.
#pragma once

#include <string>
#include <vector>

#include "device/RequestLog.h"

class RequestFailures {
public:
    RequestFailures();
    ~RequestFailures();
    RequestFailures(const RequestFailures&) = delete;
    RequestFailures& operator=(const RequestFailures&) = delete;

    // The lines since the last Clear, oldest first.
    const std::vector<std::string>& Lines() const { return lines; }
    void Clear() { lines.clear(); }

private:
    RequestLogSink previous;
    std::vector<std::string> lines;
};
