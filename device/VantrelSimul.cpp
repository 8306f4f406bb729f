#include "device/VantrelSimul.h"

#include "device/DeviceResult.h"

VantrelSimul::VantrelSimul() : Vantrel108(UsbDevice{}) {}

bool VantrelSimul::Open()
{
    if (openFlag) {
        return false;
    }
    openFlag = true;
    return true;
}

bool VantrelSimul::Close()
{
    openFlag = false;
    return true;
}

bool VantrelSimul::IsOpen() const
{
    return openFlag;
}

int32_t VantrelSimul::ReadLiveData()
{
    return openFlag ? 1 : 0;
}

int32_t VantrelSimul::GetFirmwareVersion(VersionTriple* /*out*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::GetBootVersion(VersionTriple* /*out*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::GetLiveValues(LiveValues* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    // rpmSpeedRatio and supplyVoltage are left as the caller had them.
    const uint32_t ratio = out->rpmSpeedRatio;
    const uint32_t supply = out->supplyVoltage;
    *out = LiveValues{};
    out->rpmSpeedRatio = ratio;
    out->supplyVoltage = supply;
    return DEVICE_OK;
}

int32_t VantrelSimul::GetLiveRaw(LiveRaw* out)
{
    if (out == nullptr) {
        return ERROR_NOT_AVAILABLE;
    }
    // Both periods 0xFFFF: as slow as the unit can measure, i.e. standing.
    for (size_t i = 0; i < 4; ++i) {
        (*out)[i] = 0xFF;
    }
    for (size_t i = 8; i < 16; ++i) {
        (*out)[i] = 0;
    }
    return DEVICE_OK;
}

int32_t VantrelSimul::ReadConfiguration(DeviceConfiguration* /*out*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::WriteConfiguration(const DeviceConfiguration& /*config*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::SetMode(uint16_t /*mode*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::GetFeature(uint32_t id)
{
    return LookupFeature(FeatureColumn::Simulated, id);
}

int32_t VantrelSimul::ActivateBootloader()
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::ActivateApplication()
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::GetLockState(uint8_t* /*state*/)
{
    return ERROR_NOT_AVAILABLE;
}

int32_t VantrelSimul::SetLockState(uint8_t /*state*/)
{
    return ERROR_NOT_AVAILABLE;
}
