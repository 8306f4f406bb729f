// Settings files as users and other programs might leave them: any text.
#include <wx/fileconf.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "FuzzCheck.h"
#include "config/SettingsKeys.h"

namespace {

bool InRange(int32_t value, int32_t min, int32_t max)
{
    return value >= min && value <= max;
}

// The loader takes nothing outside the accepted ranges; fallbacks are inside them.
void CheckLoadedValues(const DeviceConfiguration& config)
{
    for (ConfigField field : kGearVoltageFields) {
        FUZZ_CHECK(InRange(config.*field, 0, 5000));
    }
    for (ConfigField field : kInputFeatureFields) {
        FUZZ_CHECK(InRange(config.*field, 0, 12));
    }
    FUZZ_CHECK(config.PulsesPerTwoRevolutions == 1 || config.PulsesPerTwoRevolutions == 2 ||
               config.PulsesPerTwoRevolutions == 4);
    FUZZ_CHECK(InRange(config.ShiftLightRPM, 1000, 16000));
    FUZZ_CHECK(InRange(config.WarmupMaxRPM, 500, 16000));
    FUZZ_CHECK(InRange(config.DeltaT, 1, 10));
    FUZZ_CHECK(InRange(config.WarmUpPeriod, 0, 2000));
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            const int32_t blip = config.BlipperMap[row][cell];
            const int32_t shift = config.ShifterMap[row][cell];
            FUZZ_CHECK(blip == 0 || InRange(blip, 30, 220));
            FUZZ_CHECK(shift == 0 || InRange(shift, 30, 150));
        }
    }
}

// Saved and loaded again, an accepted record comes back unchanged. False when
// the record went round before: that depends on nothing but the record and
// the key set, and costs five times the rest of an input (some 15,000
// allocations in wxFileConfig, each slow under ASan).
bool CheckRoundTrip(const DeviceConfiguration& loaded, SettingsKeySet keys)
{
    std::array<char, sizeof loaded + 1> record;
    std::memcpy(record.data(), &loaded, sizeof loaded);
    record.back() = static_cast<char>(keys);
    if (SeenBefore(std::string_view(record.data(), record.size()))) {
        return false;
    }
    wxMemoryInputStream nothing(nullptr, 0);
    wxFileConfig written(nothing);
    WriteAppVersion(written);
    FUZZ_CHECK(SaveSettingsKeys(written, loaded, keys) == 0);
    wxMemoryOutputStream text;
    FUZZ_CHECK(written.Save(text));

    wxMemoryInputStream in(text);
    DeviceConfiguration reloaded;
    ClearConfiguration(reloaded);
    FUZZ_CHECK(LoadSettingsKeys(*ReadSettingsStream(in), reloaded, keys) == 0);
    FUZZ_CHECK(reloaded == loaded);
    return true;
}

// What a store without a single entry loads: every fallback.
const DeviceConfiguration& Fallbacks(SettingsKeySet keys)
{
    static const auto load = [](SettingsKeySet set) {
        wxMemoryInputStream nothing(nullptr, 0);
        DeviceConfiguration config;
        ClearConfiguration(config);
        FUZZ_CHECK(LoadSettingsKeys(*ReadSettingsStream(nothing), config, set) == 0);
        return config;
    };
    static const DeviceConfiguration extended = load(SettingsKeySet::Extended);
    static const DeviceConfiguration base = load(SettingsKeySet::Base);
    return keys == SettingsKeySet::Extended ? extended : base;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static wxInitializer wx;
    FUZZ_CHECK(wx.IsOk());
    wxLog::EnableLogging(false);  // the store reports every malformed line
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wxMemoryInputStream in(data, size);
    const auto store = ReadSettingsStream(in);
    // One record per input goes round, the first that did not before.
    bool wentRound = false;
    // Open refuses what names no entry; that must be only what loads as nothing.
    const bool hasEntries = HasSettingsEntries(*store);
    for (SettingsKeySet keys : {SettingsKeySet::Extended, SettingsKeySet::Base}) {
        DeviceConfiguration config;
        ClearConfiguration(config);
        const int32_t result = LoadSettingsKeys(*store, config, keys);
        FUZZ_CHECK(result == 0 || result == kConsistencyDuplicateInput ||
                   InRange(result, kConsistencyGearNVoltage - 5, kConsistencyGearNVoltage) ||
                   result == kConsistencyOutputs || result == kConsistencyTps ||
                   (keys == SettingsKeySet::Extended && result == kConsistencyRatios));
        CheckLoadedValues(config);
        FUZZ_CHECK(hasEntries || (result == 0 && config == Fallbacks(keys)));
        if (result == 0) {
            FUZZ_CHECK(CheckConsistency(config) == 0);
            wentRound = wentRound || CheckRoundTrip(config, keys);
        }
    }
    return 0;
}
