// vantrel info: the chosen unit in detail: its generation, versions, lock
// state and the capabilities of its generation.
#include <ostream>
#include <string>

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/UnitSession.h"
#include "device/Features.h"
#include "usb/UsbVantrel.h"

namespace {

struct FeatureName {
    FeatureId id;
    const char* key;   // in the JSON object "features"
    const char* text;  // in the plain list
};

// The capabilities a user can tell apart; the others are the same everywhere.
constexpr FeatureName kFeatures[] = {
    {FEATURE_WARMUP, "warmUp", "warm-up limiter"},
    {FEATURE_LOCK, "lock", "configuration lock"},
    {FEATURE_GEAR_DETECTION_CHOICE, "gearDetectionChoice", "gear detection by sensor voltage or speed ratio"},
};

}  // namespace

int InfoCommand(const Invocation& invocation, const Console& console)
{
    UnitSession session(console);
    if (const int status = session.Open(invocation.serial))
        return status;
    VantrelBase& unit = session.Unit();
    UnitFacts facts = session.Facts();
    AskVersions(unit, facts);

    const bool application = unit.GetDeviceMode() == DEVICE_MODE_APPLICATION;
    std::optional<bool> locked;
    if (application && unit.GetFeature(FEATURE_LOCK) > 0) {
        if (const int status = session.ReadLockState(locked.emplace()))
            return status;
    }
    std::string featureList;
    JsonObject features;
    for (const FeatureName& feature : kFeatures) {
        const bool offered = application && unit.GetFeature(feature.id) > 0;
        features.Add(feature.key, offered);
        if (offered)
            featureList += (featureList.empty() ? "" : ", ") + std::string(feature.text);
    }

    if (invocation.json) {
        JsonObject json = FactsJson(facts);
        if (application)
            json.Add("generation", static_cast<long>(unit.GetVersion()));
        else
            json.AddNull("generation");
        if (locked)
            json.Add("locked", *locked);
        else
            json.AddNull("locked");
        json.Add("features", features);
        console.out << json.Text() << '\n';
        return kExitSuccess;
    }
    console.out << "serial       " << (facts.serial.empty() ? "-" : facts.serial) << '\n'
                << "mode         " << facts.mode << '\n'
                << "generation   " << (application ? std::to_string(unit.GetVersion()) : "-") << '\n'
                << "firmware     " << facts.firmware.value_or("none") << '\n'
                << "bootloader   " << facts.bootloader.value_or("-") << '\n'
                << "path         " << facts.path << '\n'
                << "locked       " << (locked ? (*locked ? "yes" : "no") : "-") << '\n'
                << "features     " << (featureList.empty() ? "-" : featureList) << '\n';
    return kExitSuccess;
}
