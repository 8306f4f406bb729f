#include "ConfigurationImage.h"

#include <algorithm>

namespace {

// Byte offsets of the image. Both formats share everything up to byte 193;
// the long image adds the speed-sensor fields behind it.
constexpr size_t kFormatOffset = 0;
constexpr size_t kGearVoltageOffset = 1;
constexpr size_t kInputFeatureOffset = 8;
constexpr size_t kOutputFeature1Offset = 14;
constexpr size_t kOutputFeature2Offset = 15;
constexpr size_t kShiftLightOffset = 16;
constexpr size_t kWarmupMaxOffset = 18;
constexpr size_t kBlipperMapOffset = 20;
constexpr size_t kShifterMapOffset = 100;
constexpr size_t kTpsThresholdOffset = 180;
constexpr size_t kPulsesOffset = 181;
constexpr size_t kDelayShiftingOffset = 182;
constexpr size_t kDelayBlippingOffset = 183;
constexpr size_t kWarmUpPeriodOffset = 184;
constexpr size_t kWarmupActiveOffset = 185;
constexpr size_t kShiftingModeOffset = 186;
constexpr size_t kIgnitionModeOffset = 187;
constexpr size_t kTpsMinOffset = 188;
constexpr size_t kTpsMaxOffset = 189;
constexpr size_t kDeltaTOffset = 190;
constexpr size_t kRatioOffset = 194;
constexpr size_t kSpeedPulsesOffset = 206;
constexpr size_t kGearDetectionOffset = 207;
constexpr size_t kWheelOffset = 208;

// The unit stores the delays in 10 ms steps and the warm-up times in 100 ms steps.
constexpr int32_t kDelayStep = 10;
constexpr int32_t kWarmUpStep = 100;

constexpr int32_t kTpsFullScale = 5000;
constexpr const char* kInvalidPulses = "invalid pulses_per_revolution";

uint8_t LowByte(int32_t value)
{
    return static_cast<uint8_t>(value);
}

void Put16(ConfigurationImage& image, size_t offset, int32_t value)
{
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

int32_t Get16(std::span<const uint8_t> image, size_t offset)
{
    return image[offset] | (image[offset + 1] << 8);
}

// The pulses setting travels as a code: 1, 2, 4 pulses are 0, 1, 2.
bool PulsesToCode(int32_t pulses, uint8_t& code)
{
    switch (pulses) {
        case 1:
            code = 0;
            return true;
        case 2:
            code = 1;
            return true;
        case 4:
            code = 2;
            return true;
        default:
            return false;
    }
}

bool CodeToPulses(uint8_t code, int32_t& pulses)
{
    if (code > 2) {
        return false;
    }
    pulses = 1 << code;
    return true;
}

}  // namespace

uint8_t VoltageToCode(int32_t millivolts)
{
    // 64-bit so that absurd inputs cannot overflow; within any real voltage the
    // result equals the unit's own 32-bit arithmetic.
    return static_cast<uint8_t>((int64_t{millivolts} + 21) * 1000 / 42307);
}

int32_t CodeToVoltage(uint8_t code)
{
    return (43 * code + 25) / 50 * 50;
}

int32_t RpmToPeriod(int32_t value)
{
    if (value == 0) {
        return 0;
    }
    return std::min(22500000 / value, 16000);
}

ConfigurationImage EncodeConfigurationImage(const DeviceConfiguration& config, ImageFormat format)
{
    ConfigurationImage image(ImageSize(format), 0);
    image[kFormatOffset] = static_cast<uint8_t>(format);

    for (size_t i = 0; i < kGearVoltageFields.size(); ++i) {
        image[kGearVoltageOffset + i] = VoltageToCode(config.*kGearVoltageFields[i]);
    }
    for (size_t i = 0; i < kInputFeatureFields.size(); ++i) {
        image[kInputFeatureOffset + i] = LowByte(config.*kInputFeatureFields[i]);
    }
    image[kOutputFeature1Offset] = LowByte(config.OutputFeature1);
    image[kOutputFeature2Offset] = LowByte(config.OutputFeature2);
    Put16(image, kShiftLightOffset, RpmToPeriod(config.ShiftLightRPM));
    Put16(image, kWarmupMaxOffset, RpmToPeriod(config.WarmupMaxRPM));
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            // The absent-row marker -1 becomes 255 here, as the unit expects.
            image[kBlipperMapOffset + row * kMapCells + cell] = LowByte(config.BlipperMap[row][cell]);
            image[kShifterMapOffset + row * kMapCells + cell] = LowByte(config.ShifterMap[row][cell]);
        }
    }
    image[kTpsThresholdOffset] = VoltageToCode(config.TPSThresholdVoltage);
    if (!PulsesToCode(config.PulsesPerTwoRevolutions, image[kPulsesOffset])) {
        throw ConfigurationError(kInvalidPulses);
    }
    image[kDelayShiftingOffset] = LowByte(config.DelayBetweenShifting / kDelayStep);
    image[kDelayBlippingOffset] = LowByte(config.DelayBetweenBlipping / kDelayStep);
    image[kWarmUpPeriodOffset] = LowByte(config.WarmUpPeriod / kWarmUpStep);
    image[kWarmupActiveOffset] = LowByte(config.WarmupActiveTime / kWarmUpStep);
    image[kShiftingModeOffset] = LowByte(config.ShiftingMode);
    image[kIgnitionModeOffset] = LowByte(config.IgnitionMode);
    image[kTpsMinOffset] = VoltageToCode(config.TPSMinVoltage);
    image[kTpsMaxOffset] = VoltageToCode(config.TPSMaxVoltage);
    image[kDeltaTOffset] = LowByte(config.DeltaT);

    if (format == ImageFormat::Long) {
        for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i) {
            Put16(image, kRatioOffset + 2 * i, config.*kRpmSpeedRatioFields[i]);
        }
        image[kSpeedPulsesOffset] = LowByte(config.NumOfSpeedPulses);
        image[kGearDetectionOffset] = LowByte(config.GearDetection);
        Put16(image, kWheelOffset, config.WheelCircumference);
    }
    return image;
}

bool DecodeConfigurationImage(std::span<const uint8_t> image, ImageFormat format, DeviceConfiguration& config,
                              std::string* error)
{
    auto fail = [error](std::string text) {
        if (error != nullptr) {
            *error = std::move(text);
        }
        return false;
    };
    if (image.size() != ImageSize(format)) {
        return fail("configuration image of " + std::to_string(image.size()) + " bytes, expected " +
                    std::to_string(ImageSize(format)));
    }

    // Decoded into a copy so that a rejected image leaves the caller's record alone.
    DeviceConfiguration decoded;
    ClearConfiguration(decoded);
    if (!CodeToPulses(image[kPulsesOffset], decoded.PulsesPerTwoRevolutions)) {
        return fail(kInvalidPulses);
    }

    for (size_t i = 0; i < kGearVoltageFields.size(); ++i) {
        decoded.*kGearVoltageFields[i] = CodeToVoltage(image[kGearVoltageOffset + i]);
    }
    for (size_t i = 0; i < kInputFeatureFields.size(); ++i) {
        decoded.*kInputFeatureFields[i] = image[kInputFeatureOffset + i];
    }
    decoded.OutputFeature1 = image[kOutputFeature1Offset];
    decoded.OutputFeature2 = image[kOutputFeature2Offset];
    decoded.ShiftLightRPM = RpmToPeriod(Get16(image, kShiftLightOffset));
    decoded.WarmupMaxRPM = RpmToPeriod(Get16(image, kWarmupMaxOffset));
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            decoded.BlipperMap[row][cell] = image[kBlipperMapOffset + row * kMapCells + cell];
            decoded.ShifterMap[row][cell] = image[kShifterMapOffset + row * kMapCells + cell];
        }
    }
    decoded.TPSThresholdVoltage = CodeToVoltage(image[kTpsThresholdOffset]);
    decoded.DelayBetweenShifting = image[kDelayShiftingOffset] * kDelayStep;
    decoded.DelayBetweenBlipping = image[kDelayBlippingOffset] * kDelayStep;
    decoded.WarmUpPeriod = image[kWarmUpPeriodOffset] * kWarmUpStep;
    decoded.WarmupActiveTime = image[kWarmupActiveOffset] * kWarmUpStep;
    decoded.ShiftingMode = image[kShiftingModeOffset];
    decoded.IgnitionMode = image[kIgnitionModeOffset];
    decoded.DeltaT = image[kDeltaTOffset];

    // Equal ends would leave the threshold no span to sit in; the sensor's full
    // scale stands in for them then.
    const int32_t tpsMin = CodeToVoltage(image[kTpsMinOffset]);
    const int32_t tpsMax = CodeToVoltage(image[kTpsMaxOffset]);
    if (tpsMin == tpsMax) {
        decoded.TPSMinVoltage = 0;
        decoded.TPSMaxVoltage = kTpsFullScale;
    } else {
        decoded.TPSMinVoltage = tpsMin;
        decoded.TPSMaxVoltage = tpsMax;
    }

    if (format == ImageFormat::Long) {
        for (size_t i = 0; i < kRpmSpeedRatioFields.size(); ++i) {
            decoded.*kRpmSpeedRatioFields[i] = Get16(image, kRatioOffset + 2 * i);
        }
        decoded.NumOfSpeedPulses = image[kSpeedPulsesOffset];
        decoded.GearDetection = image[kGearDetectionOffset];
        decoded.WheelCircumference = Get16(image, kWheelOffset);
    }
    config = decoded;
    return true;
}

DeviceConfiguration AsStoredInImage(const DeviceConfiguration& config, ImageFormat format)
{
    DeviceConfiguration stored = config;
    // An image just encoded always decodes: its pulses code is one of the three.
    DecodeConfigurationImage(EncodeConfigurationImage(config, format), format, stored);
    return stored;
}
