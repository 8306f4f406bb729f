// The editors' views of single fields: input function and polarity, and the
// TPS threshold as a percentage of the sensor's span.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "DeviceConfiguration.h"

namespace {
constexpr int kInputFunctions = 6;

int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
}  // namespace

int32_t EncodeInputFeature(int function, int polarity)
{
    // The unit knows six input functions; anything else means none.
    if (function <= 0 || function > kInputFunctions) {
        return 0;
    }
    return 2 * function - 1 + (polarity != 0 ? 1 : 0);
}

InputFeature DecodeInputFeature(int32_t value)
{
    if (value <= 0) {
        return {0, 0};
    }
    // (value + 1) / 2 without the overflow at the top of the range.
    const int function = value / 2 + value % 2;
    return {function, value % 2 == 0 ? 1 : 0};
}

int32_t ThresholdToPercent(int32_t threshold, int32_t min, int32_t max)
{
    const int64_t span = int64_t{max} - min;
    if (span == 0) {
        return 0;
    }
    return Saturate((int64_t{threshold} - min) * 100 / span);
}

int32_t PercentToThreshold(int32_t percent, int32_t min, int32_t max)
{
    const int64_t span = int64_t{max} - min;
    return Saturate(min + span * percent / 100);
}
