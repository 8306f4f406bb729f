// The unit in application mode, as the rest of the program sees it. One
// implementation per firmware generation (Vantrel100 ... Vantrel108) and the
// simulated unit (VantrelSimul). Every operation that returns int32_t returns
// a code of DeviceResult.h.
#pragma once

#include <cstdint>

#include "config/DeviceConfiguration.h"
#include "device/LiveData.h"
#include "device/VersionTriple.h"

class wxConfigBase;

class IVantrel {
public:
    virtual ~IVantrel() = default;

    // Open and Close also forget the held live report.
    virtual bool Open() = 0;
    virtual bool Close() = 0;
    virtual bool IsOpen() const = 0;

    // One interrupt read of the live report into the object's buffer.
    virtual int32_t ReadLiveData() = 0;

    // Version reads; -14 for a null out, -99 for fewer than 6 bytes (out kept).
    virtual int32_t GetFirmwareVersion(VersionTriple* out) = 0;
    virtual int32_t GetBootVersion(VersionTriple* out) = 0;

    // The held live report decoded / raw. -14 for a null out, -99 until a
    // complete report has been read. They never touch the bus.
    virtual int32_t GetLiveValues(LiveValues* out) = 0;
    virtual int32_t GetLiveRaw(LiveRaw* out) = 0;

    // The generation's default configuration.
    virtual DeviceConfiguration GetDefaultConfiguration() = 0;
    // Reads and decodes the unit's configuration image. On any failure the
    // caller's record is left as it was.
    virtual int32_t ReadConfiguration(DeviceConfiguration* out) = 0;
    // Encodes the record into the generation's image and sends it.
    virtual int32_t WriteConfiguration(const DeviceConfiguration& config) = 0;

    // Settings file keys of this generation (see config/SettingsKeys.h).
    virtual int32_t LoadSettings(wxConfigBase& store, DeviceConfiguration& config) = 0;
    virtual int32_t SaveSettings(wxConfigBase& store, const DeviceConfiguration& config) = 0;

    // MODE_NORMAL, MODE_WARMUP or an FFT setting index.
    virtual int32_t SetMode(uint16_t mode) = 0;
    // Capability value of a FeatureId (Features.h); 0 for unknown ids.
    virtual int32_t GetFeature(uint32_t id) = 0;

    // Restart the unit into its bootloader / application.
    virtual int32_t ActivateBootloader() = 0;
    virtual int32_t ActivateApplication() = 0;

    // Configuration lock; -14 without sending anything before generation 105.
    // A lock byte of 0 means unlocked.
    virtual int32_t GetLockState(uint8_t* state) = 0;
    virtual int32_t SetLockState(uint8_t state) = 0;
};
