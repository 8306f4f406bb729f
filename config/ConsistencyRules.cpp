// Cross-field rules a configuration from a file must satisfy before the
// editors accept it. The first rule broken decides the code.
#include <cstddef>
#include <span>

#include "DeviceConfiguration.h"

namespace {

// Every pair of fields holding the same value; `code` gives the code of a pair
// by the index of its first field. Zeros count only when `zerosCount`.
void AddEqualPairs(const DeviceConfiguration& config, std::span<const ConfigField> fields, bool zerosCount,
                   int32_t (*code)(size_t first), std::vector<ConsistencyBreach>& breaches)
{
    for (size_t i = 0; i + 1 < fields.size(); ++i) {
        const int32_t value = config.*fields[i];
        if (value == 0 && !zerosCount) {
            continue;
        }
        for (size_t j = i + 1; j < fields.size(); ++j) {
            if (config.*fields[j] == value) {
                breaches.push_back({code(i), {fields[i], fields[j]}});
            }
        }
    }
}

}  // namespace

std::vector<ConsistencyBreach> FindConsistencyBreaches(const DeviceConfiguration& config)
{
    std::vector<ConsistencyBreach> breaches;
    // Two inputs with the same function and polarity would fight over it.
    AddEqualPairs(
        config, kInputFeatureFields, false, [](size_t) { return kConsistencyDuplicateInput; }, breaches);
    // The gear sensor must tell every gear apart, whichever detection is chosen.
    AddEqualPairs(
        config, kGearVoltageFields, true,
        [](size_t first) { return kConsistencyGearNVoltage - static_cast<int32_t>(first); }, breaches);

    if (config.OutputFeature1 != 0 && config.OutputFeature1 == config.OutputFeature2) {
        breaches.push_back({kConsistencyOutputs,
                            {&DeviceConfiguration::OutputFeature1, &DeviceConfiguration::OutputFeature2}});
    }
    if (!(config.TPSMinVoltage < config.TPSMaxVoltage && config.TPSMinVoltage < config.TPSThresholdVoltage &&
          config.TPSThresholdVoltage < config.TPSMaxVoltage)) {
        breaches.push_back({kConsistencyTps,
                            {&DeviceConfiguration::TPSMinVoltage, &DeviceConfiguration::TPSThresholdVoltage,
                             &DeviceConfiguration::TPSMaxVoltage}});
    }
    return breaches;
}

std::vector<ConsistencyBreach> FindRatioBreaches(const DeviceConfiguration& config)
{
    std::vector<ConsistencyBreach> breaches;
    AddEqualPairs(
        config, kRpmSpeedRatioFields, true, [](size_t) { return kConsistencyRatios; }, breaches);
    return breaches;
}

int32_t CheckConsistency(const DeviceConfiguration& config)
{
    const std::vector<ConsistencyBreach> breaches = FindConsistencyBreaches(config);
    return breaches.empty() ? 0 : breaches.front().code;
}

int32_t CheckRatioConsistency(const DeviceConfiguration& config)
{
    return FindRatioBreaches(config).empty() ? 0 : kConsistencyRatios;
}
