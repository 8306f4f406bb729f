#include "FactoryConfiguration.h"

#include <algorithm>

DefaultsFamily DefaultsFamilyOf(uint16_t generation)
{
    if (generation >= 108) {
        return DefaultsFamily::Gen108;
    }
    if (generation == 107) {
        return DefaultsFamily::Gen107;
    }
    return generation >= 103 ? DefaultsFamily::Gen103 : DefaultsFamily::Base;
}

ImageFormat ImageFormatOf(uint16_t generation)
{
    return generation >= 107 ? ImageFormat::Long : ImageFormat::Short;
}

std::vector<uint8_t> UnitImage(const DeviceConfiguration& config, uint16_t generation)
{
    return EncodeConfigurationImage(config, ImageFormatOf(generation));
}

std::vector<uint8_t> FactoryImage(uint16_t generation)
{
    return UnitImage(MakeDefaultConfiguration(DefaultsFamilyOf(generation)), generation);
}

DeviceConfiguration StoredConfiguration(const std::vector<uint8_t>& image, uint16_t generation)
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamilyOf(generation));
    DecodeConfigurationImage(image, ImageFormatOf(generation), config);
    return config;
}

std::vector<uint8_t> ConvertImage(const std::vector<uint8_t>& image, uint16_t generation)
{
    std::vector<uint8_t> converted = FactoryImage(generation);
    // Both formats agree on bytes 1-193; 194 on are the long format's own.
    constexpr size_t kCommon = 194;
    const size_t kept = std::min({image.size(), converted.size(), kCommon});
    std::copy_n(image.begin() + 1, kept > 0 ? kept - 1 : 0, converted.begin() + 1);
    return converted;
}
