#include "device/Vantrel100.h"

#include <string>

#include "device/DeviceResult.h"
#include "device/VendorRequests.h"

namespace {

UsbSetupPacket Setup(uint8_t requestType, uint8_t request, uint16_t value, uint16_t length)
{
    return UsbSetupPacket{requestType, request, value, 0, length};
}

}  // namespace

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
    const int32_t result = InterruptTransfer(LIVE_ENDPOINT, liveReport.data(), length, timeoutMs);
    if (result < 0) {
        liveValid = false;
        return result;
    }
    if (result < length) {
        liveValid = false;
        return ERROR_SHORT_TRANSFER;
    }
    liveValid = true;
    return DEVICE_OK;
}

int32_t Vantrel100::GetFirmwareVersion(VersionTriple* out)
{
    return ReadVersion(BOOT_VALUE_FIRMWARE, out);
}

int32_t Vantrel100::GetBootVersion(VersionTriple* out)
{
    return ReadVersion(BOOT_VALUE_BOOTLOADER, out);
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
    return SendCommand(REQ_MODE, mode);
}

int32_t Vantrel100::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen100, id);
}

int32_t Vantrel100::ActivateBootloader()
{
    return SendCommand(REQ_BOOT, BOOT_VALUE_ACTIVATE_BOOTLOADER);
}

int32_t Vantrel100::ActivateApplication()
{
    return SendCommand(REQ_BOOT, BOOT_VALUE_ACTIVATE_APPLICATION);
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
    const size_t size = ImageSize(format);
    ConfigurationImage image(size, 0);
    const auto setup = Setup(REQUEST_TYPE_IN, REQ_CONFIG, 0, static_cast<uint16_t>(size));
    const int32_t result = ControlTransferIn(setup, image.data(), timeoutMs);
    if (result < 0) {
        return result;
    }
    if (static_cast<size_t>(result) < size) {
        return ERROR_SHORT_TRANSFER;
    }
    // An image the program cannot represent (a pulses code other than 0, 1,
    // 2) fails the read as a whole rather than showing a guessed value.
    DeviceConfiguration candidate;
    if (!DecodeConfigurationImage(image, format, candidate)) {
        return ERROR_INVALID_IMAGE;
    }
    decoded = candidate;
    return DEVICE_OK;
}

int32_t Vantrel100::SendImage(const DeviceConfiguration& config)
{
    const ImageFormat format = GetImageFormat();
    ConfigurationImage image;
    try {
        image = EncodeConfigurationImage(config, format);
    } catch (const ConfigurationError&) {
        // A record with a pulses setting the unit cannot hold is refused here,
        // before anything reaches the unit.
        return ERROR_INVALID_IMAGE;
    }
    const auto setup = Setup(REQUEST_TYPE_OUT, REQ_CONFIG, 0, static_cast<uint16_t>(image.size()));
    const int32_t result = ControlTransferOut(setup, image.data(), timeoutMs);
    if (result < 0) {
        return result;
    }
    if (static_cast<size_t>(result) < image.size()) {
        return ERROR_SHORT_TRANSFER;
    }
    return DEVICE_OK;
}

int32_t Vantrel100::ReadVersion(uint16_t wValue, VersionTriple* out)
{
    return ReadVersionTriple(*this, wValue, timeoutMs, out);
}

int32_t Vantrel100::SendCommand(uint8_t request, uint16_t wValue)
{
    return SendVendorCommand(*this, request, wValue, timeoutMs);
}
