// Generation 100, the first firmware: the behaviour every later generation
// inherits. Holds the transfer time-out and the last live report.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "config/ConfigurationImage.h"
#include "config/SettingsKeys.h"
#include "device/DeviceRequests.h"
#include "device/Features.h"
#include "device/UsbApplication.h"
#include "usb/UsbIds.h"

class Vantrel100 : public UsbApplication {
public:
    explicit Vantrel100(const UsbDevice& record) : UsbApplication(record) {}

    bool Open() override;
    bool Close() override;

    int32_t ReadLiveData() override;
    int32_t GetFirmwareVersion(VersionTriple* out) override;
    int32_t GetBootVersion(VersionTriple* out) override;
    int32_t GetLiveValues(LiveValues* out) override;
    int32_t GetLiveRaw(LiveRaw* out) override;
    DeviceConfiguration GetDefaultConfiguration() override;
    int32_t ReadConfiguration(DeviceConfiguration* out) override;
    int32_t WriteConfiguration(const DeviceConfiguration& config) override;
    int32_t LoadSettings(wxConfigBase& store, DeviceConfiguration& config) override;
    int32_t SaveSettings(wxConfigBase& store, const DeviceConfiguration& config) override;
    int32_t SetMode(uint16_t mode) override;
    int32_t GetFeature(uint32_t id) override;
    int32_t ActivateBootloader() override;
    int32_t ActivateApplication() override;
    int32_t GetLockState(uint8_t* state) override;
    int32_t SetLockState(uint8_t state) override;

    // Length of this generation's live report and its image layout.
    virtual size_t GetLiveReportLength() const { return LIVE_REPORT_LENGTH_100; }
    virtual ImageFormat GetImageFormat() const { return ImageFormat::Short; }

    uint32_t GetTimeout() const { return timeoutMs; }
    void SetTimeout(uint32_t milliseconds) { timeoutMs = milliseconds; }

    // Whether a complete live report is held.
    bool IsLiveValid() const { return liveValid; }

protected:
    // The held report, GetLiveReportLength() bytes.
    std::span<const uint8_t> HeldReport() const;
    // Decodes a complete report of this generation.
    virtual LiveValues DecodeLiveReport(std::span<const uint8_t> report) const;

    // Reads the image and decodes it into decoded; decoded is only written
    // when the whole image arrived and decodes.
    int32_t ReadImage(DeviceConfiguration& decoded);
    // Encodes and sends the image; nothing is sent when the record cannot be
    // encoded.
    int32_t SendImage(const DeviceConfiguration& config);
    // One of the two REQ_BOOT version reads.
    int32_t ReadVersion(const NamedRequest& request, VersionTriple* out);
    // A request without data stage; the library result unchanged.
    int32_t SendCommand(const NamedRequest& request);

    uint32_t timeoutMs = TRANSFER_TIMEOUT_MS;
    bool liveValid = false;
    std::array<uint8_t, LIVE_RAW_LENGTH> liveReport{};
};
