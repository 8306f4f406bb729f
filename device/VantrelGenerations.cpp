#include "device/VantrelGenerations.h"

#include <array>

#include "device/DeviceResult.h"
#include "device/VendorRequests.h"

int32_t Vantrel102::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen102, id);
}

DeviceConfiguration Vantrel103::GetDefaultConfiguration()
{
    return MakeDefaultConfiguration(DefaultsFamily::Gen103);
}

int32_t Vantrel104::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen104, id);
}

int32_t Vantrel105::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen105, id);
}

int32_t Vantrel105::GetLockState(uint8_t* state)
{
    if (state == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    std::array<uint8_t, LOCK_REPLY_LENGTH> reply{};
    const int32_t result = ReadRequest(*this, GET_LOCK_STATE, reply.data(), timeoutMs, KEPT_LOCK_STATE);
    if (result != DEVICE_OK) {
        return result;
    }
    *state = reply[0];
    return DEVICE_OK;
}

int32_t Vantrel105::SetLockState(uint8_t state)
{
    return SendCommand(SetLockStateRequest(state));
}

Vantrel107::Vantrel107(const UsbDevice& record) : Vantrel106(record)
{
    ClearConfiguration(lastConfiguration);
}

DeviceConfiguration Vantrel107::GetDefaultConfiguration()
{
    return MakeDefaultConfiguration(DefaultsFamily::Gen107);
}

int32_t Vantrel107::ReadConfiguration(DeviceConfiguration* out)
{
    DeviceConfiguration decoded;
    const int32_t result = ReadImage(decoded);
    if (result != DEVICE_OK) {
        return result;
    }
    lastConfiguration = decoded;
    if (out != nullptr) {
        *out = decoded;
    }
    return DEVICE_OK;
}

int32_t Vantrel107::WriteConfiguration(const DeviceConfiguration& config)
{
    const int32_t result = SendImage(config);
    if (result == DEVICE_OK) {
        lastConfiguration = config;
    }
    return result;
}

int32_t Vantrel107::LoadSettings(wxConfigBase& store, DeviceConfiguration& config)
{
    return LoadSettingsKeys(store, config, SettingsKeySet::Extended);
}

int32_t Vantrel107::SaveSettings(wxConfigBase& store, const DeviceConfiguration& config)
{
    return SaveSettingsKeys(store, config, SettingsKeySet::Extended);
}

int32_t Vantrel107::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen107, id);
}

LiveValues Vantrel107::DecodeLiveReport(std::span<const uint8_t> report) const
{
    return DecodeLiveReport107(report, lastConfiguration);
}

DeviceConfiguration Vantrel108::GetDefaultConfiguration()
{
    return MakeDefaultConfiguration(DefaultsFamily::Gen108);
}

int32_t Vantrel108::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Gen108, id);
}

LiveValues Vantrel108::DecodeLiveReport(std::span<const uint8_t> report) const
{
    return DecodeLiveReport108(report, lastConfiguration);
}
