// Settings files as users and other programs might leave them: any text.
#include <wx/fileconf.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

// The kind of an integer's text: its sign and number of digits.
__attribute__((no_sanitize("coverage"))) int TextKind(int32_t value)
{
    int digits = 1;
    for (int64_t rest = std::abs(int64_t{value}); rest >= 10; rest /= 10) {
        ++digits;
    }
    return value < 0 ? -digits : digits;
}

// Whether a record is worth the round trip, five times the cost of the rest
// of an input (some 15,000 allocations in wxFileConfig, each slow under ASan).
// The writer puts each field on a line of its own and the loader reads each
// line on its own, so what a round trip can get wrong is a field's key or the
// text of its value: a record goes round when one of its fields holds a
// value of a kind (sign, digits) that field never held in a record that went
// round, and otherwise one record in eight, by the record's bytes. Built
// without coverage, or libFuzzer would keep inputs for this bookkeeping's
// branches; allocates nothing, as memory kept past an input counts as a leak.
__attribute__((no_sanitize("coverage"))) bool WorthARoundTrip(const DeviceConfiguration& record,
                                                              SettingsKeySet keys)
{
    static_assert(sizeof record % sizeof(int32_t) == 0);
    constexpr size_t kFields = sizeof record / sizeof(int32_t);
    std::array<int32_t, kFields> fields;
    std::memcpy(fields.data(), &record, sizeof record);
    static std::array<std::bitset<2 * 11>, 2 * kFields> kinds;  // per key set and field
    const size_t first = keys == SettingsKeySet::Base ? kFields : 0;
    bool newKind = false;
    for (size_t i = 0; i < kFields; ++i) {
        const auto kind = static_cast<size_t>(TextKind(fields[i]) + 10);
        newKind |= !kinds[first + i].test(kind);
        kinds[first + i].set(kind);
    }
    std::array<char, sizeof record + 1> bytes;
    std::memcpy(bytes.data(), &record, sizeof record);
    bytes.back() = static_cast<char>(keys);
    const std::string_view view(bytes.data(), bytes.size());
    return newKind || (!SeenBefore(view) && std::hash<std::string_view>()(view) % 8 == 0);
}

// Saved and loaded again, an accepted record comes back unchanged. False when
// the record is not worth it.
bool CheckRoundTrip(const DeviceConfiguration& loaded, SettingsKeySet keys)
{
    if (!WorthARoundTrip(loaded, keys)) {
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
