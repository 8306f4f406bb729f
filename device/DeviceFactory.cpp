#include "device/DeviceFactory.h"

#include "device/Bootloader.h"
#include "device/VantrelGenerations.h"
#include "device/VantrelSimul.h"
#include "usb/UsbVantrel.h"

std::unique_ptr<IVantrel> CreateApplicationDevice(uint16_t version, const UsbDevice& record)
{
    switch (version) {
        case 0:
            return std::make_unique<VantrelSimul>();
        case 1:  // release 1 is served as generation 100
        case 100:
            return std::make_unique<Vantrel100>(record);
        case 101:
            return std::make_unique<Vantrel101>(record);
        case 102:
            return std::make_unique<Vantrel102>(record);
        case 103:
            return std::make_unique<Vantrel103>(record);
        case 104:
            return std::make_unique<Vantrel104>(record);
        case 105:
            return std::make_unique<Vantrel105>(record);
        case 106:
            return std::make_unique<Vantrel106>(record);
        case 107:
            return std::make_unique<Vantrel107>(record);
        case 108:
            return std::make_unique<Vantrel108>(record);
        default:
            return nullptr;
    }
}

std::unique_ptr<IBootloader> CreateBootloaderDevice(uint16_t version, const UsbDevice& record)
{
    switch (version) {
        case 1:
        case 100:
            return std::make_unique<Bootloader100>(record);
        case 101:
            return std::make_unique<Bootloader101>(record);
        default:
            return nullptr;
    }
}

uint8_t GetRecordDeviceMode(const UsbDevice& record)
{
    const UsbVantrel probe(record);
    return probe.GetDeviceMode();
}
