#include "EditorRecords.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "EditorModel.h"

namespace {

// The lowest threshold from `from` up to `to` that shows as `percent`; none
// when none does. The percentage shown moves one way only as the threshold
// rises, so halving finds it: a kept record may hold any values, and stepping
// through a span of billions (and past the top of int32_t) took seconds.
std::optional<int32_t> LowestShowing(int percent, int32_t from, int32_t to, int32_t min, int32_t max)
{
    int64_t low = from;
    int64_t high = int64_t{to} + 1;  // the answer is in [low, high); high: none
    while (low < high) {
        const int64_t middle = low + (high - low) / 2;
        const int32_t shown = ThresholdToPercent(static_cast<int32_t>(middle), min, max);
        if (max >= min ? shown >= percent : shown <= percent)
            high = middle;
        else
            low = middle + 1;
    }
    if (low > to || ThresholdToPercent(static_cast<int32_t>(low), min, max) != percent)
        return std::nullopt;
    return static_cast<int32_t>(low);
}

}  // namespace

DeviceConfiguration ForShowing(DeviceConfiguration record)
{
    const int32_t min = record.TPSMinVoltage;
    const int32_t max = record.TPSMaxVoltage;
    int32_t& threshold = record.TPSThresholdVoltage;
    for (int percent = 1; percent <= 99; ++percent) {
        if (PercentToThreshold(percent, min, max) != threshold)
            continue;
        if (const std::optional<int32_t> shown =
                LowestShowing(percent, threshold, std::max(min, max), min, max))
            threshold = *shown;
        break;
    }
    return record;
}

DeviceConfiguration AsEditorsHoldIt(const DeviceConfiguration& record, const DeviceConfiguration& editors)
{
    try {
        EditorModel model;
        model.Show(editors);
        model.Show(ForShowing(record));
        return model.Collect();
    } catch (const std::exception&) {
        return record;
    }
}
