// The unit's byte image of a configuration: 196 bytes (format 1, generations
// 100-106) or 212 bytes (format 2, generations 107 and 108).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "DeviceConfiguration.h"

enum class ImageFormat : uint8_t {
    Short = 1,  // 196 bytes
    Long = 2,   // 212 bytes
};

inline constexpr size_t kShortImageSize = 196;
inline constexpr size_t kLongImageSize = 212;

constexpr size_t ImageSize(ImageFormat format)
{
    return format == ImageFormat::Long ? kLongImageSize : kShortImageSize;
}

using ConfigurationImage = std::vector<uint8_t>;

// Thrown when a record or an image carries a pulses setting the unit cannot hold.
class ConfigurationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// mV -> one-byte code, (mV + 21) * 1000 / 42307 truncated; low byte kept.
uint8_t VoltageToCode(int32_t millivolts);
// code -> mV, the code times 43 mV rounded to the nearest 50 mV.
int32_t CodeToVoltage(uint8_t code);
// rpm <-> 16-bit period; 0 stays 0, otherwise min(22500000 / x, 16000).
int32_t RpmToPeriod(int32_t value);

// Throws ConfigurationError("invalid pulses_per_revolution") when
// PulsesPerTwoRevolutions is not 1, 2 or 4.
ConfigurationImage EncodeConfigurationImage(const DeviceConfiguration& config, ImageFormat format);

// Decodes an image of exactly ImageSize(format) bytes. On success the record is
// replaced and true returned. On any fault (wrong length, invalid pulses byte)
// the record is left untouched, false returned and *error (if given) says why.
bool DecodeConfigurationImage(std::span<const uint8_t> image, ImageFormat format, DeviceConfiguration& config,
                              std::string* error = nullptr);

// The record as a unit keeping it in an image of `format` gives it back: the
// voltages on the unit's coarser scale, times in its steps, rpm through its
// periods, the fields the image lacks blank. Throws as the encoding does.
DeviceConfiguration AsStoredInImage(const DeviceConfiguration& config, ImageFormat format);
