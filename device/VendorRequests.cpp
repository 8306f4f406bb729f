#include "device/VendorRequests.h"

#include <array>

#include "device/DeviceResult.h"
#include "device/RequestLog.h"
#include "usb/UsbDevice.h"

namespace {

// The result of a request whose transfer gave `result`.
int32_t Outcome(const NamedRequest& request, int32_t result, bool wasOpen, const char* done)
{
    const int32_t expected = request.setup.wLength;
    if (result >= expected) {
        return DEVICE_OK;
    }
    const int32_t returned = result < 0 ? result : ERROR_SHORT_TRANSFER;
    ReportRequestFailure(DescribeRequest(request.name, request.setup),
                         TransferFailureReason(result, expected, wasOpen), done, returned);
    return returned;
}

}  // namespace

int32_t ReadRequest(UsbDevice& device, const NamedRequest& request, uint8_t* data, uint32_t timeoutMs,
                    const char* done)
{
    const bool wasOpen = device.IsOpen();
    return Outcome(request, device.ControlTransferIn(request.setup, data, timeoutMs), wasOpen, done);
}

int32_t WriteRequest(UsbDevice& device, const NamedRequest& request, const uint8_t* data, uint32_t timeoutMs)
{
    const bool wasOpen = device.IsOpen();
    return Outcome(request, device.ControlTransferOut(request.setup, data, timeoutMs), wasOpen, "");
}

int32_t ReadVersionTriple(UsbDevice& device, const NamedRequest& request, uint32_t timeoutMs,
                          VersionTriple* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    std::array<uint8_t, VERSION_REPLY_LENGTH> reply{};
    const int32_t result = ReadRequest(device, request, reply.data(), timeoutMs, KEPT_VERSION);
    if (result != DEVICE_OK) {
        return result;
    }
    ParseVersionTriple(reply, *out);
    return DEVICE_OK;
}
