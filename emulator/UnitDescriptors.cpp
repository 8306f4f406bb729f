#include "UnitDescriptors.h"

namespace {

void PutU16(std::vector<uint8_t>& bytes, uint16_t value)
{
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::vector<uint8_t> DeviceDescriptor(const DescriptorFields& f)
{
    std::vector<uint8_t> d = {18, 0x01};
    PutU16(d, 0x0200);  // USB 2.0
    d.push_back(f.deviceClass);
    d.push_back(f.deviceSubClass);
    d.push_back(0);   // protocol
    d.push_back(64);  // bMaxPacketSize0
    PutU16(d, f.vendorId);
    PutU16(d, f.productId);
    PutU16(d, f.bcdDevice);
    d.push_back(f.hasManufacturer ? STRING_MANUFACTURER : 0);
    d.push_back(f.hasProduct ? STRING_PRODUCT : 0);
    d.push_back(f.hasSerial ? STRING_SERIAL : 0);
    d.push_back(1);  // one configuration
    return d;
}

std::vector<uint8_t> ConfigurationDescriptor(const DescriptorFields& f)
{
    std::vector<uint8_t> d = {9, 0x02};
    PutU16(d, 9 + 9 + 7);
    d.insert(d.end(), {1, 1, 0, 0x80, 50});  // 1 interface, value 1, bus powered, 100 mA
    // A device whose class is given per interface gets a vendor-specific interface.
    const uint8_t interfaceClass = f.deviceClass == 0 ? 0xFF : f.deviceClass;
    d.insert(d.end(), {9, 0x04, 0, 0, 1, interfaceClass, f.deviceSubClass, 0, 0});
    d.insert(d.end(), {7, 0x05, LIVE_ENDPOINT_ADDRESS, 0x03});  // interrupt IN
    PutU16(d, 64);
    d.push_back(10);  // polled every 10 ms
    return d;
}

std::vector<uint8_t> StringDescriptorOf(const std::string& text)
{
    const size_t chars = text.size() > 126 ? 126 : text.size();
    std::vector<uint8_t> d = {static_cast<uint8_t>(2 + 2 * chars), 0x03};
    for (size_t i = 0; i < chars; ++i) {
        d.push_back(static_cast<uint8_t>(text[i]));
        d.push_back(0);
    }
    return d;
}

std::vector<uint8_t> LanguageDescriptor()
{
    return {4, 0x03, 0x09, 0x04};
}
