#include "EditorRecords.h"

#include <algorithm>
#include <exception>

#include "EditorModel.h"

DeviceConfiguration ForShowing(DeviceConfiguration record)
{
    const int32_t min = record.TPSMinVoltage;
    const int32_t max = record.TPSMaxVoltage;
    int32_t& threshold = record.TPSThresholdVoltage;
    for (int percent = 1; percent <= 99; ++percent) {
        if (PercentToThreshold(percent, min, max) != threshold)
            continue;
        for (int32_t shown = threshold; shown <= std::max(min, max); ++shown) {
            if (ThresholdToPercent(shown, min, max) == percent) {
                threshold = shown;
                break;
            }
        }
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
