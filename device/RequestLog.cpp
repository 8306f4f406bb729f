#include "device/RequestLog.h"

#include <cstdio>
#include <utility>

#include "usb/UsbDevice.h"

namespace {

RequestLogSink& Sink()
{
    static RequestLogSink sink;
    return sink;
}

}  // namespace

RequestLogSink SetRequestLogSink(RequestLogSink sink)
{
    return std::exchange(Sink(), std::move(sink));
}

std::string DescribeRequest(const char* name, const UsbSetupPacket& setup)
{
    std::string text = name;
    char part[64];
    std::snprintf(part, sizeof part, " (0x%02X %s", setup.bRequest, IsDeviceToHost(setup) ? "IN" : "OUT");
    text += part;
    if (setup.wValue != 0) {
        std::snprintf(part, sizeof part, ", value %u", static_cast<unsigned>(setup.wValue));
        text += part;
    }
    if (setup.wLength != 0) {
        std::snprintf(part, sizeof part, ", %u %s", static_cast<unsigned>(setup.wLength),
                      setup.wLength == 1 ? "byte" : "bytes");
        text += part;
    }
    return text + ")";
}

std::string DescribeInterruptRead(const char* name, uint8_t endpoint, int32_t length)
{
    char part[64];
    std::snprintf(part, sizeof part, " (endpoint 0x%02X IN, %d bytes)", endpoint, static_cast<int>(length));
    return name + std::string(part);
}

std::string TransferFailureReason(int32_t result, int32_t expected, bool wasOpen)
{
    if (result >= 0) {
        char text[64];
        std::snprintf(text, sizeof text, "short transfer (%d of %d bytes)", static_cast<int>(result),
                      static_cast<int>(expected));
        return text;
    }
    // The primitives answer -1 for a closed device before anything is sent;
    // libusb's own -1 (an I/O error) only comes from an open one.
    if (!wasOpen && result == -1) {
        return "device not open, nothing sent";
    }
    return UsbErrorName(result);
}

void ReportRequestFailure(const std::string& request, const std::string& reason, const char* done,
                          int32_t returned)
{
    const RequestLogSink& sink = Sink();
    if (!sink) {
        return;
    }
    sink(request + " failed: " + reason + "; " + done + "returned " + std::to_string(returned) +
         " to the caller");
}
