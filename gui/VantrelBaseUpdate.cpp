// VantrelBase::UpdateFirmware: replaces the unit's application firmware
// through its bootloader. The unit changes its USB personality twice on the
// way, so the connection recognises it again only by its serial number.
//
// Everything is reported through wxLog (the update dialog is the log target
// while it exists): the steps as error, warning, message and info records,
// the progress as wxLOG_Progress records whose text is the number.

#include <wx/app.h>
#include <wx/log.h>
#include <wx/translation.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "device/Bootloader.h"
#include "device/DeviceFactory.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "fwimages/FwFile.h"
#include "gui/EventLoopWait.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/VantrelBase.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"
#include "usb/UsbVantrel.h"

namespace {

void ReportProgress(int32_t value)
{
    wxLogGeneric(wxLOG_Progress, "%d", static_cast<int>(value));
}

// The mode of a listed device; a subclass the program does not know counts as
// neither personality, so the wait simply tries again.
int DeviceModeOf(const UsbDevice& record)
{
    try {
        return GetRecordDeviceMode(record);
    } catch (const std::runtime_error&) {
        return -1;
    }
}

// The first listed unit whose serial number equals `serial` (exact), or null.
// Only the serial number decides: another unit on the bus is never touched.
UsbDevice* FindBySerial(UsbDeviceList& list, const std::string& serial)
{
    for (UsbDevice* device = list.GetFirst(); device != nullptr; device = list.GetNext()) {
        if (device->serialNumber == serial) {
            return device;
        }
    }
    return nullptr;
}

std::unique_ptr<UsbDeviceList> EnumerateUnits()
{
    return std::unique_ptr<UsbDeviceList>(
        EnumerateDevices(DeviceIdFilter{{UNIT_VENDOR_ID, UNIT_PRODUCT_ID}}));
}

// One wait for the unit to come back in the personality `mode`: at most
// UPDATE_WAIT_ATTEMPTS attempts, each reported as the next value of
// `progress`, then events run, a sleep, and a look for the unit by its serial
// number. A unit found in the other personality costs one attempt, and so does
// an `attach` (make and open the device object for the record) that fails.
bool WaitForUnit(const UpdatePacing& pacing, const std::string& serial, int mode, int32_t& progress,
                 const std::function<bool(const UsbDevice&)>& attach)
{
    for (int32_t attempt = 0; attempt < UPDATE_WAIT_ATTEMPTS; ++attempt) {
        ++progress;
        ReportProgress(progress);
        pacing.Yield();
        pacing.Sleep(UPDATE_WAIT_STEP_MS);

        std::unique_ptr<UsbDeviceList> list = EnumerateUnits();
        const UsbDevice* record = FindBySerial(*list, serial);
        if (record != nullptr && DeviceModeOf(*record) == mode && attach(*record)) {
            return true;
        }
    }
    return false;
}

// Puts a new device object into its slot (`place`) and opens it; one that
// does not open leaves the slot empty again. False for no object.
template <typename Device, typename Place>
bool PlaceOpened(std::unique_ptr<Device> device, Place place)
{
    if (!device) {
        return false;
    }
    Device* const placed = device.get();
    place(std::move(device));
    if (placed->Open()) {
        return true;
    }
    place(nullptr);
    return false;
}

// The image bytes from `offset` up to one block, the rest of the block 0xFF.
void FillBlock(std::vector<uint8_t>& buffer, const FwFile& image, uint64_t offset)
{
    std::fill(buffer.begin(), buffer.end(), 0xFF);
    if (offset < image.size) {
        const uint64_t available = std::min<uint64_t>(buffer.size(), image.size - offset);
        std::memcpy(buffer.data(), image.data + offset, available);
    }
}

}  // namespace

void DefaultUpdateYield()
{
    // wxYieldIfNeeded lives in the GUI library; the console application
    // object offers the same thing and is the running wxApp in the program.
    if (wxAppConsole* app = wxAppConsole::GetInstance()) {
        app->Yield(true);
    }
}

void DefaultUpdateSleep(uint32_t milliseconds)
{
    WaitWithEventsRunning(milliseconds);
}

void UpdatePacing::Yield() const
{
    if (yield) {
        yield();
    } else {
        DefaultUpdateYield();
    }
}

void UpdatePacing::Sleep(uint32_t milliseconds) const
{
    if (sleep) {
        sleep(milliseconds);
    } else {
        DefaultUpdateSleep(milliseconds);
    }
}

bool FirmwareImagesMayBeWritten()
{
#ifdef VANTREL_STANDIN_FIRMWARE
    const char* allow = std::getenv("VANTREL_ALLOW_STANDIN_FIRMWARE");
    return allow != nullptr && std::string_view(allow) == "1";
#else
    return true;
#endif
}

int32_t VantrelBase::UpdateFirmware(const FwFile& image, const UpdatePacing& pacing)
{
    // A stand-in image, or an image record without data, cannot be written;
    // stop before the unit is touched.
    if (!FirmwareImagesMayBeWritten() || (image.data == nullptr && image.size > 0)) {
        return ERROR_NOT_AVAILABLE;
    }

    // --- Check: the unit must be of the image's product type.
    VersionTriple boot;
    const int32_t bootResult = GetBootVersion(&boot);
    if (bootResult < 0) {
        wxLogError(_("It's not possible to read information about hardware, error: %d."),
                   static_cast<int>(bootResult));
        return bootResult;
    }
    ReportProgress(1);
    // The hardware word is not compared: the caller looked the image up by it.
    if (boot.w0 != static_cast<uint32_t>(image.type)) {
        wxLogError(_("Unsupported device %04x"), static_cast<unsigned>(boot.w0));
        return -1;
    }
    wxLogInfo(_("Firmware is gonna be updated to version: %04x.%04x.%04x."),
              static_cast<unsigned>(image.type), static_cast<unsigned>(image.hardware),
              static_cast<unsigned>(image.version));
    wxLogWarning(_("Upgrading firmware, do NOT disconnect the device from the PC during upgrade process!!"));
    ReportProgress(2);
    pacing.Yield();

    // --- Reach the bootloader.
    std::string serial;
    int32_t counter = 2;
    if (GetDeviceMode() == DEVICE_MODE_BOOTLOADER) {
        // Left there by an earlier update that did not finish, or started there.
        wxLogWarning(_("Bootloader is being active."));
        serial = GetSerialNumber();
        pacing.Yield();
    } else {
        IVantrel* application = GetApplication();
        // The simulated unit has no bootloader to restart into.
        if (application == nullptr || dynamic_cast<UsbVantrel*>(application) == nullptr ||
            application->GetFeature(FEATURE_SIMULATED) != 0) {
            wxLogError(_("Bootloader activating error."));
            return -1;
        }
        const int32_t activated = application->ActivateBootloader();
        if (activated < 0) {
            wxLogError(_("Bootloader activating error: %d."), static_cast<int>(activated));
            return activated;
        }
        serial = GetSerialNumber();
        Close();
        SetApplication(nullptr);

        wxLogInfo(_("Waiting for bootloader..."));
        pacing.Yield();
        WaitForUnit(pacing, serial, DEVICE_MODE_BOOTLOADER, counter, [this](const UsbDevice& record) {
            return PlaceOpened(
                CreateBootloaderDevice(record.version, record),
                [this](std::unique_ptr<IBootloader> device) { SetBootloader(std::move(device)); });
        });
        if (!IsOpen() || GetDeviceMode() != DEVICE_MODE_BOOTLOADER) {
            wxLogError(_("Bootloader activating error."));
            return -1;
        }
    }

    // --- Erase.
    wxLogInfo(_("Deleting flash memory."));
    pacing.Yield();
    auto* bootloader = dynamic_cast<UsbBootloader*>(GetBootloader());
    if (bootloader == nullptr) {
        wxLogError(_("It was not possible to erase flash memory"));
        return -1;
    }
    const int32_t erased = bootloader->Erase(0);
    if (erased < 0) {
        wxLogError(_("It was not possible to erase flash memory, error: %d."), static_cast<int>(erased));
        return erased;
    }

    // --- Write: everything after the head first, the head (the new
    // application's vector table) last, so that an interrupted update never
    // leaves a startable half-written application behind.
    wxLogInfo(_("Flashing a new firmware..."));
    pacing.Yield();
    const uint64_t block = bootloader->GetBlockSize();
    const uint64_t head = bootloader->GetHeadSize();
    const uint64_t size = image.size;
    std::vector<uint8_t> buffer(block);
    const uint64_t step = size / 90;
    uint64_t threshold = step;
    for (uint64_t offset = head; offset < size; offset += block) {
        FillBlock(buffer, image, offset);
        const int32_t written = bootloader->WriteBlock(offset, buffer.data(), block);
        if (written < 0) {
            wxLogError(_("Error flashing memory at position %d, error: %d"), static_cast<int>(offset),
                       static_cast<int>(written));
            return written;
        }
        if (offset > threshold) {
            ++counter;
            ReportProgress(counter);
            threshold += step;
            pacing.Yield();
        }
    }
    for (uint64_t offset = 0; offset < head; offset += block) {
        FillBlock(buffer, image, offset);
        const int32_t written = bootloader->WriteBlock(offset, buffer.data(), block);
        if (written < 0) {
            wxLogError(_("Error flashing memory at position %d, error: %d."), static_cast<int>(offset),
                       static_cast<int>(written));
            return written;
        }
    }

    // --- Restart into the new application and find it again.
    ReportProgress(counter + 1);
    wxLogMessage(_("Flashing done."));
    const int32_t restarted = bootloader->ActivateApplication();
    if (restarted < 0) {
        wxLogError(_("Application activating error: %d."), static_cast<int>(restarted));
        return restarted;
    }
    Close();
    SetBootloader(nullptr);

    int32_t c2 = counter + 2;
    ReportProgress(c2);
    wxLogInfo(_("Waiting for application..."));
    pacing.Yield();
    WaitForUnit(pacing, serial, DEVICE_MODE_APPLICATION, c2, [this](const UsbDevice& record) {
        if (!PlaceOpened(CreateApplicationDevice(record.version, record),
                         [this](std::unique_ptr<IVantrel> device) { SetApplication(std::move(device)); })) {
            return false;
        }
        // Opened, but not (yet) in its application: one attempt gone.
        if (GetDeviceMode() == DEVICE_MODE_APPLICATION) {
            return true;
        }
        Close();
        return false;
    });
    if (IsOpen() && GetDeviceMode() == DEVICE_MODE_APPLICATION) {
        Close();
        return 0;
    }
    Close();
    wxLogError(_("Application activating error."));
    return -1;
}
