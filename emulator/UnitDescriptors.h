// USB descriptors of a virtual device in wire form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DescriptorFields {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t bcdDevice = 0;
    uint8_t deviceClass = 0;
    uint8_t deviceSubClass = 0;
    bool hasManufacturer = false;
    bool hasProduct = false;
    bool hasSerial = false;
};

inline constexpr uint8_t STRING_MANUFACTURER = 1;
inline constexpr uint8_t STRING_PRODUCT = 2;
inline constexpr uint8_t STRING_SERIAL = 3;
inline constexpr uint8_t LIVE_ENDPOINT_ADDRESS = 0x81;

// The 18-byte device descriptor.
std::vector<uint8_t> DeviceDescriptor(const DescriptorFields& fields);
// Configuration 1: one interface (0) with one interrupt IN endpoint (0x81).
std::vector<uint8_t> ConfigurationDescriptor(const DescriptorFields& fields);
// A string descriptor holding `text` (ASCII) in UTF-16LE.
std::vector<uint8_t> StringDescriptorOf(const std::string& text);
// String descriptor 0: the language list (US English).
std::vector<uint8_t> LanguageDescriptor();
