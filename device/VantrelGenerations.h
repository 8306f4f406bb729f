// Generations 101 to 108. Each derives from the one before it and overrides
// only what the unit's firmware changed.
#pragma once

#include "device/Vantrel100.h"

// Behaves exactly like 100.
class Vantrel101 : public Vantrel100 {
public:
    using Vantrel100::Vantrel100;
};

// Adds the warm-up limiter (FEATURE_WARMUP).
class Vantrel102 : public Vantrel101 {
public:
    using Vantrel101::Vantrel101;
    int32_t GetFeature(uint32_t id) override;
};

// Other throttle-sensor defaults.
class Vantrel103 : public Vantrel102 {
public:
    using Vantrel102::Vantrel102;
    DeviceConfiguration GetDefaultConfiguration() override;
};

// Adds FEATURE_6.
class Vantrel104 : public Vantrel103 {
public:
    using Vantrel103::Vantrel103;
    int32_t GetFeature(uint32_t id) override;
};

// Adds the configuration lock (FEATURE_LOCK, REQ_LOCK).
class Vantrel105 : public Vantrel104 {
public:
    using Vantrel104::Vantrel104;
    int32_t GetFeature(uint32_t id) override;
    int32_t GetLockState(uint8_t* state) override;
    int32_t SetLockState(uint8_t state) override;
};

// Behaves exactly like 105.
class Vantrel106 : public Vantrel105 {
public:
    using Vantrel105::Vantrel105;
};

// Speed sensor and gear detection by rpm/speed ratio: 212-byte image, 18-byte
// live report, extended settings keys. Keeps the configuration last read from
// or written to the unit, because the live decoding needs its pulse counts and
// wheel circumference.
class Vantrel107 : public Vantrel106 {
public:
    explicit Vantrel107(const UsbDevice& record);

    DeviceConfiguration GetDefaultConfiguration() override;
    // A null out is allowed: the image is read and only lastConfiguration is
    // refreshed. A failed read leaves lastConfiguration as it was.
    int32_t ReadConfiguration(DeviceConfiguration* out) override;
    // lastConfiguration becomes the record after a successful transfer.
    int32_t WriteConfiguration(const DeviceConfiguration& config) override;
    int32_t LoadSettings(wxConfigBase& store, DeviceConfiguration& config) override;
    int32_t SaveSettings(wxConfigBase& store, const DeviceConfiguration& config) override;
    int32_t GetFeature(uint32_t id) override;

    size_t GetLiveReportLength() const override { return LIVE_REPORT_LENGTH_107; }
    ImageFormat GetImageFormat() const override { return ImageFormat::Long; }

    // Blank (ClearConfiguration) until the first successful read or write.
    const DeviceConfiguration& GetLastConfiguration() const { return lastConfiguration; }

protected:
    LiveValues DecodeLiveReport(std::span<const uint8_t> report) const override;

    DeviceConfiguration lastConfiguration;
};

// Supply voltage in the 19-byte live report; lower warm-up rpm default.
class Vantrel108 : public Vantrel107 {
public:
    using Vantrel107::Vantrel107;

    DeviceConfiguration GetDefaultConfiguration() override;
    int32_t GetFeature(uint32_t id) override;
    size_t GetLiveReportLength() const override { return LIVE_REPORT_LENGTH_108; }

protected:
    LiveValues DecodeLiveReport(std::span<const uint8_t> report) const override;
};
