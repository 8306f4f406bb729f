#include "device/Vantrel100.h"

#include <string>

#include "device/DeviceResult.h"
#include "device/RequestLog.h"
#include "device/VendorRequests.h"

bool Vantrel100::Open()
{
    liveValid = false;
    return UsbApplication::Open();
}

bool Vantrel100::Close()
{
    liveValid = false;
    return UsbApplication::Close();
}

int32_t Vantrel100::ReadLiveData()
{
    const auto length = static_cast<int32_t>(GetLiveReportLength());
    const bool wasOpen = IsOpen();
    const int32_t result = InterruptTransfer(LIVE_ENDPOINT, liveReport.data(), length, timeoutMs);
    liveValid = result >= length;
    if (liveValid) {
        return DEVICE_OK;
    }
    const int32_t returned = result < 0 ? result : ERROR_SHORT_TRANSFER;
    ReportRequestFailure(DescribeInterruptRead(LIVE_REPORT_READ_NAME, LIVE_ENDPOINT, length),
                         TransferFailureReason(result, length, wasOpen), "marked the live data invalid and ",
                         returned);
    return returned;
}

int32_t Vantrel100::GetFirmwareVersion(VersionTriple* out)
{
    return ReadVersion(READ_FIRMWARE_VERSION, out);
}

int32_t Vantrel100::GetBootVersion(VersionTriple* out)
{
    return ReadVersion(READ_BOOT_VERSION, out);
}

int32_t Vantrel100::GetLiveValues(LiveValues* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    if (!liveValid) {
        return ERROR_SHORT_TRANSFER;
    }
    *out = DecodeLiveReport(HeldReport());
    return DEVICE_OK;
}

int32_t Vantrel100::GetLiveRaw(LiveRaw* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    if (!liveValid) {
        return ERROR_SHORT_TRANSFER;
    }
    *out = MakeLiveRaw(HeldReport());
    return DEVICE_OK;
}

DeviceConfiguration Vantrel100::GetDefaultConfiguration()
{
    return MakeDefaultConfiguration(DefaultsFamily::Base);
}

int32_t Vantrel100::ReadConfiguration(DeviceConfiguration* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    DeviceConfiguration decoded;
    const int32_t result = ReadImage(decoded);
    if (result == DEVICE_OK) {
        *out = decoded;
    }
    return result;
}

int32_t Vantrel100::WriteConfiguration(const DeviceConfiguration& config)
{
    return SendImage(config);
}

int32_t Vantrel100::LoadSettings(wxConfigBase& store, DeviceConfiguration& config)
{
    return LoadSettingsKeys(store, config, SettingsKeySet::Base);
}

int32_t Vantrel100::SaveSettings(wxConfigBase& store, const DeviceConfiguration& config)
{
    return SaveSettingsKeys(store, config, SettingsKeySet::Base);
}

int32_t Vantrel100::SetMode(uint16_t mode)
{
    return SendCommand(SetModeRequest(mode));
}

int32_t Vantrel100::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen100, id);
}

int32_t Vantrel100::ActivateBootloader()
{
    return SendCommand(ACTIVATE_BOOTLOADER);
}

int32_t Vantrel100::ActivateApplication()
{
    return SendCommand(ACTIVATE_APPLICATION);
}

int32_t Vantrel100::GetLockState(uint8_t* /*state*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t Vantrel100::SetLockState(uint8_t /*state*/)
{
    return ERROR_NOT_AVAILABLE;
}

std::span<const uint8_t> Vantrel100::HeldReport() const
{
    return std::span<const uint8_t>(liveReport).first(GetLiveReportLength());
}

LiveValues Vantrel100::DecodeLiveReport(std::span<const uint8_t> report) const
{
    return DecodeLiveReport100(report);
}

int32_t Vantrel100::ReadImage(DeviceConfiguration& decoded)
{
    const ImageFormat format = GetImageFormat();
    const NamedRequest request = ReadConfigurationRequest(static_cast<uint16_t>(ImageSize(format)));
    ConfigurationImage image(ImageSize(format), 0);
    const int32_t result = ReadRequest(*this, request, image.data(), timeoutMs, KEPT_CONFIGURATION);
    if (result != DEVICE_OK) {
        return result;
    }
    // An image the program cannot represent (a pulses code other than 0, 1,
    // 2) fails the read as a whole rather than showing a guessed value.
    DeviceConfiguration candidate;
    std::string reason;
    if (!DecodeConfigurationImage(image, format, candidate, &reason)) {
        ReportRequestFailure(DescribeRequest(request.name, request.setup),
                             "the image was refused (" + reason + ")", KEPT_CONFIGURATION,
                             ERROR_INVALID_IMAGE);
        return ERROR_INVALID_IMAGE;
    }
    decoded = candidate;
    return DEVICE_OK;
}

int32_t Vantrel100::SendImage(const DeviceConfiguration& config)
{
    const ImageFormat format = GetImageFormat();
    const NamedRequest request = WriteConfigurationRequest(static_cast<uint16_t>(ImageSize(format)));
    ConfigurationImage image;
    try {
        image = EncodeConfigurationImage(config, format);
    } catch (const ConfigurationError& error) {
        // A record with a pulses setting the unit cannot hold is refused here,
        // before anything reaches the unit.
        ReportRequestFailure(DescribeRequest(request.name, request.setup),
                             "the record cannot be encoded (" + std::string(error.what()) + "), nothing sent",
                             "", ERROR_INVALID_IMAGE);
        return ERROR_INVALID_IMAGE;
    }
    return WriteRequest(*this, request, image.data(), timeoutMs);
}

int32_t Vantrel100::ReadVersion(const NamedRequest& request, VersionTriple* out)
{
    return ReadVersionTriple(*this, request, timeoutMs, out);
}

int32_t Vantrel100::SendCommand(const NamedRequest& request)
{
    return WriteRequest(*this, request, nullptr, timeoutMs);
}
