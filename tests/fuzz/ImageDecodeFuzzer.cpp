// Images as the unit might send them: any bytes, any length.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzCheck.h"
#include "config/ConfigurationImage.h"

namespace {

bool KeptAsIs(size_t offset, ImageFormat format)
{
    return (offset >= 8 && offset < 16) || (offset >= 20 && offset < 180) || offset == 181 || offset == 186 ||
           offset == 187 || offset == 190 || (format == ImageFormat::Long && offset >= 194 && offset < 210);
}

void CheckFormat(std::span<const uint8_t> input, ImageFormat format)
{
    const DeviceConfiguration untouched = MakeDefaultConfiguration(DefaultsFamily::Gen108);

    // As it comes: a length other than the format's is refused and changes nothing.
    DeviceConfiguration config = untouched;
    const bool decodedAsIs = DecodeConfigurationImage(input, format, config);
    if (input.size() != ImageSize(format)) {
        FUZZ_CHECK(!decodedAsIs);
        FUZZ_CHECK(config == untouched);
    }

    // Cut or padded to the format's length, so that every input reaches the fields.
    ConfigurationImage image(ImageSize(format), 0);
    std::copy_n(input.begin(), std::min(input.size(), image.size()), image.begin());
    std::string error;
    config = untouched;
    if (!DecodeConfigurationImage(image, format, config, &error)) {
        FUZZ_CHECK(image[181] > 2);
        FUZZ_CHECK(error == "invalid pulses_per_revolution");
        FUZZ_CHECK(config == untouched);
        return;
    }
    FUZZ_CHECK(image[181] <= 2);
    FUZZ_CHECK(config.TPSMinVoltage != config.TPSMaxVoltage);
    FUZZ_CHECK(config.Reserved == 0);

    // Whatever the unit sent can be written back, and the bytes taken as they
    // are come back unchanged.
    const ConfigurationImage again = EncodeConfigurationImage(config, format);
    FUZZ_CHECK(again.size() == image.size());
    FUZZ_CHECK(again[0] == static_cast<uint8_t>(format));
    for (size_t offset = 0; offset < image.size(); ++offset) {
        if (KeptAsIs(offset, format)) {
            FUZZ_CHECK(again[offset] == image[offset]);
        }
    }
    DeviceConfiguration reread;
    FUZZ_CHECK(DecodeConfigurationImage(again, format, reread));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> input(data, size);
    CheckFormat(input, ImageFormat::Short);
    CheckFormat(input, ImageFormat::Long);
    return 0;
}
