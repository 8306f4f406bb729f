#include "gui/VantrelBase.h"

#include <cstdio>

#include "device/DeviceFactory.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "device/VantrelSimul.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

std::string FormatVersionText(uint16_t version, uint8_t mode)
{
    char text[32];
    const char* format = mode == DEVICE_MODE_BOOTLOADER ? "bootloader %d.%02d" : "%d.%02d";
    std::snprintf(text, sizeof text, format, version / 100, version % 100);
    return text;
}

VantrelBase::VantrelBase() : application(std::make_unique<VantrelSimul>()) {}

VantrelBase::VantrelBase(const UsbDevice& record)
{
    if (record.vendorId != UNIT_VENDOR_ID || record.productId != UNIT_PRODUCT_ID) {
        return;
    }
    // May throw "unknown device subclass"; the connect workflow reports it.
    const uint8_t mode = GetRecordDeviceMode(record);
    const uint16_t version = UsbVantrel(record).GetVersion();
    if (mode == DEVICE_MODE_BOOTLOADER) {
        bootloader = CreateBootloaderDevice(version, record);
    } else {
        application = CreateApplicationDevice(version, record);
    }
}

VantrelBase::~VantrelBase()
{
    application.reset();
    bootloader.reset();
}

bool VantrelBase::Open()
{
    if (application) {
        return application->Open();
    }
    return bootloader ? bootloader->Open() : false;
}

bool VantrelBase::Close()
{
    if (application) {
        return application->Close();
    }
    return bootloader ? bootloader->Close() : false;
}

bool VantrelBase::IsOpen() const
{
    if (application) {
        return application->IsOpen();
    }
    return bootloader ? bootloader->IsOpen() : false;
}

const UsbVantrel* VantrelBase::FindUsbPart() const
{
    if (application) {
        return dynamic_cast<const UsbVantrel*>(application.get());
    }
    if (bootloader) {
        return dynamic_cast<const UsbVantrel*>(bootloader.get());
    }
    return nullptr;
}

std::string VantrelBase::GetSerialNumber() const
{
    const UsbVantrel* usb = FindUsbPart();
    return usb ? usb->serialNumber : std::string(INVALID_SERIAL_TEXT);
}

uint16_t VantrelBase::GetVersion() const
{
    const UsbVantrel* usb = FindUsbPart();
    return usb ? usb->GetVersion() : 0;
}

int32_t VantrelBase::GetLastError() const
{
    const UsbVantrel* usb = FindUsbPart();
    return usb ? usb->GetLastError() : 0;
}

uint8_t VantrelBase::GetDeviceMode() const
{
    const UsbVantrel* usb = FindUsbPart();
    return usb ? usb->GetDeviceMode() : 0;
}

std::string VantrelBase::GetPath() const
{
    const UsbVantrel* usb = FindUsbPart();
    if (application && application->GetFeature(FEATURE_SIMULATED) == 1) {
        return SIMULATOR_PATH_TEXT;
    }
    if (usb) {
        return FormatUsbPath(usb->busNumber, usb->portNumber, usb->deviceAddress);
    }
    return INVALID_PATH_TEXT;
}

int32_t VantrelBase::ReadLiveData()
{
    return application ? application->ReadLiveData() : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetFirmwareVersion(VersionTriple* out)
{
    if (application) {
        return application->GetFirmwareVersion(out);
    }
    return bootloader ? bootloader->GetFirmwareVersion(out) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetBootVersion(VersionTriple* out)
{
    if (application) {
        return application->GetBootVersion(out);
    }
    return bootloader ? bootloader->GetBootVersion(out) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetLiveValues(LiveValues* out)
{
    return application ? application->GetLiveValues(out) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetLiveRaw(LiveRaw* out)
{
    return application ? application->GetLiveRaw(out) : ERROR_NOT_AVAILABLE;
}

DeviceConfiguration VantrelBase::GetDefaultConfiguration()
{
    if (application) {
        return application->GetDefaultConfiguration();
    }
    DeviceConfiguration blank;
    ClearConfiguration(blank);
    return blank;
}

int32_t VantrelBase::ReadConfiguration(DeviceConfiguration* out)
{
    return application ? application->ReadConfiguration(out) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::WriteConfiguration(const DeviceConfiguration& config)
{
    return application ? application->WriteConfiguration(config) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::LoadSettings(wxConfigBase& store, DeviceConfiguration& config)
{
    return application ? application->LoadSettings(store, config) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::SaveSettings(wxConfigBase& store, const DeviceConfiguration& config)
{
    return application ? application->SaveSettings(store, config) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::SetMode(uint16_t mode)
{
    return application ? application->SetMode(mode) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetFeature(uint32_t id)
{
    return application ? application->GetFeature(id) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::GetLockState(uint8_t* state)
{
    return application ? application->GetLockState(state) : ERROR_NOT_AVAILABLE;
}

int32_t VantrelBase::SetLockState(uint8_t state)
{
    return application ? application->SetLockState(state) : ERROR_NOT_AVAILABLE;
}

void VantrelBase::SetApplication(std::unique_ptr<IVantrel> device)
{
    application = std::move(device);
}

void VantrelBase::SetBootloader(std::unique_ptr<IBootloader> device)
{
    bootloader = std::move(device);
}
