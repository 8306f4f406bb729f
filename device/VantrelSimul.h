// The simulated unit used while no unit is connected: the layout, defaults
// and settings keys of the newest generation, and -14 for everything that
// would need a unit. Its USB part is an empty record (version 0, mode 0).
#pragma once

#include "device/VantrelGenerations.h"

class VantrelSimul : public Vantrel108 {
public:
    VantrelSimul();

    // Open fails while already open. These also serve the USB part, so the
    // device reads as open whichever base is asked.
    bool Open() override;
    bool Close() override;
    bool IsOpen() const override;

    // Reads nothing: 1 while open, 0 while closed.
    int32_t ReadLiveData() override;
    int32_t GetFirmwareVersion(VersionTriple* out) override;
    int32_t GetBootVersion(VersionTriple* out) override;
    // Zeroes rpm ... powerFlag; later fields keep the caller's values.
    int32_t GetLiveValues(LiveValues* out) override;
    // Bytes 0-3 become 0xFF (both periods 0xFFFF), bytes 8-15 zero; the other
    // bytes keep the caller's values.
    int32_t GetLiveRaw(LiveRaw* out) override;
    int32_t ReadConfiguration(DeviceConfiguration* out) override;
    int32_t WriteConfiguration(const DeviceConfiguration& config) override;
    int32_t SetMode(uint16_t mode) override;
    int32_t GetFeature(uint32_t id) override;
    int32_t ActivateBootloader() override;
    int32_t ActivateApplication() override;
    int32_t GetLockState(uint8_t* state) override;
    int32_t SetLockState(uint8_t state) override;

private:
    bool openFlag = false;
};
