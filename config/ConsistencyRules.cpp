// Cross-field rules a configuration from a file must satisfy before the
// editors accept it. The first rule broken decides the code.
#include <cstddef>

#include "DeviceConfiguration.h"

int32_t CheckConsistency(const DeviceConfiguration& config)
{
    // Two inputs with the same function and polarity would fight over it.
    for (size_t i = 0; i < kInputFeatureFields.size(); ++i) {
        const int32_t value = config.*kInputFeatureFields[i];
        if (value == 0) {
            continue;
        }
        for (size_t j = 0; j < kInputFeatureFields.size(); ++j) {
            if (j != i && config.*kInputFeatureFields[j] == value) {
                return kConsistencyDuplicateInput;
            }
        }
    }

    // The gear sensor must tell every gear apart, whichever detection is chosen.
    for (size_t i = 0; i + 1 < kGearVoltageFields.size(); ++i) {
        for (size_t j = i + 1; j < kGearVoltageFields.size(); ++j) {
            if (config.*kGearVoltageFields[i] == config.*kGearVoltageFields[j]) {
                return kConsistencyGearNVoltage - static_cast<int32_t>(i);
            }
        }
    }

    if (config.OutputFeature1 != 0 && config.OutputFeature1 == config.OutputFeature2) {
        return kConsistencyOutputs;
    }

    if (!(config.TPSMinVoltage < config.TPSMaxVoltage && config.TPSMinVoltage < config.TPSThresholdVoltage &&
          config.TPSThresholdVoltage < config.TPSMaxVoltage)) {
        return kConsistencyTps;
    }
    return 0;
}

int32_t CheckRatioConsistency(const DeviceConfiguration& config)
{
    for (size_t i = 0; i + 1 < kRpmSpeedRatioFields.size(); ++i) {
        for (size_t j = i + 1; j < kRpmSpeedRatioFields.size(); ++j) {
            if (config.*kRpmSpeedRatioFields[i] == config.*kRpmSpeedRatioFields[j]) {
                return kConsistencyRatios;
            }
        }
    }
    return 0;
}
