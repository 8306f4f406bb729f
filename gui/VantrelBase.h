// The connection the main window holds: a unit in application mode, a unit
// in its bootloader, the simulated unit, or nothing usable. It forwards each
// operation to the device object it owns and answers -14 when that object
// does not exist.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "config/DeviceConfiguration.h"
#include "device/IBootloader.h"
#include "device/IVantrel.h"
#include "device/LiveData.h"
#include "device/VersionTriple.h"
#include "gui/FirmwareUpdatePacing.h"
#include "usb/UsbDevice.h"

class wxConfigBase;
struct FwFile;
class UsbVantrel;
struct FwFile;

// "%d.%02d" of version / 100 and version % 100, prefixed with "bootloader "
// when mode is DEVICE_MODE_BOOTLOADER: 108 -> "1.08", (101, 1) -> "bootloader 1.01".
std::string FormatVersionText(uint16_t version, uint8_t mode);

inline constexpr const char* SIMULATOR_PATH_TEXT = "Simulator";
inline constexpr const char* INVALID_PATH_TEXT = "Invalid connection path";
inline constexpr const char* INVALID_SERIAL_TEXT = "Invalid serial number";

class VantrelBase {
public:
    // The simulated connection: a VantrelSimul application object (closed).
    VantrelBase();
    // A connection to a discovered device (not opened). A record that is not
    // the unit (0xA600, 0xE361), or whose version has no device class, gives
    // an empty connection: Open returns false and every operation fails.
    // Throws std::runtime_error("unknown device subclass") when the unit's
    // subclass is neither application nor bootloader; the caller reports it.
    explicit VantrelBase(const UsbDevice& record);
    VantrelBase(const VantrelBase&) = delete;
    VantrelBase& operator=(const VantrelBase&) = delete;
    // Destroys the application object, then the bootloader object; an open
    // USB handle is closed with them.
    virtual ~VantrelBase();

    // The application object's, else the bootloader object's, else false.
    virtual bool Open();
    virtual bool Close();
    virtual bool IsOpen() const;

    // From the USB part of the application object, else of the bootloader
    // object; without either "Invalid serial number", 0 and 0.
    virtual std::string GetSerialNumber() const;
    virtual uint16_t GetVersion() const;
    virtual uint8_t GetDeviceMode() const;
    // "Simulator", "USB bus:port.address" or "Invalid connection path".
    virtual std::string GetPath() const;
    // The latched USB error of the unit (why an Open failed, for example);
    // 0 for the simulated or an empty connection. Not a slot of the facade's
    // interface: a plain helper for the windows' messages.
    int32_t GetLastError() const;

    // The remaining operations go to the application object only and answer
    // -14 without one, except the two version reads, which a bootloader
    // object answers too, and GetDefaultConfiguration.
    virtual int32_t ReadLiveData();
    virtual int32_t GetFirmwareVersion(VersionTriple* out);
    virtual int32_t GetBootVersion(VersionTriple* out);
    virtual int32_t GetLiveValues(LiveValues* out);
    virtual int32_t GetLiveRaw(LiveRaw* out);
    // Without an application object: the blank record (ClearConfiguration).
    virtual DeviceConfiguration GetDefaultConfiguration();
    virtual int32_t ReadConfiguration(DeviceConfiguration* out);
    virtual int32_t WriteConfiguration(const DeviceConfiguration& config);
    virtual int32_t LoadSettings(wxConfigBase& store, DeviceConfiguration& config);
    virtual int32_t SaveSettings(wxConfigBase& store, const DeviceConfiguration& config);
    // Replaces the unit's application firmware with the image, letting events
    // run and waiting as `pacing` says; 0, -1 or the failing step's code.
    // Built on the slot accessors below.
    // -14 before the unit is touched when FirmwareImagesMayBeWritten() is false.
    virtual int32_t UpdateFirmware(const FwFile& image, const UpdatePacing& pacing = {});
    virtual int32_t SetMode(uint16_t mode);
    virtual int32_t GetFeature(uint32_t id);
    virtual int32_t GetLockState(uint8_t* state);
    virtual int32_t SetLockState(uint8_t state);

protected:
    // The two slots, for the firmware update, which moves the unit between
    // its personalities. At most one is filled; setting one does not touch
    // the other. Setting replaces (and destroys) what the slot held.
    IVantrel* GetApplication() const { return application.get(); }
    IBootloader* GetBootloader() const { return bootloader.get(); }
    void SetApplication(std::unique_ptr<IVantrel> device);
    void SetBootloader(std::unique_ptr<IBootloader> device);

    // The USB part of the application object, else of the bootloader object;
    // null for an empty connection.
    const UsbVantrel* FindUsbPart() const;

private:
    std::unique_ptr<IBootloader> bootloader;
    std::unique_ptr<IVantrel> application;
};

// False in a build whose firmware images are stand-ins (see the README),
// unless the run says VANTREL_ALLOW_STANDIN_FIRMWARE=1 (the virtual unit's
// tests, vantrel-emulate): their body is filler, and a unit holding it would
// stop shifting. No update of any caller writes them then.
bool FirmwareImagesMayBeWritten();
