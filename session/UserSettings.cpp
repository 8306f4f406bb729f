#include "UserSettings.h"

#include <wx/config.h>

#include "editor/MapTools.h"

namespace {

constexpr const char* kPlacementKeys[4] = {"Left", "Top", "Width", "Height"};
constexpr const char* kRefusedVersionSuffix = "RefusedFirmwareVersion";
constexpr const char* kLanguageKey = "Language";

wxString RefusedVersionKey(const std::string& serial)
{
    return wxString::FromUTF8(serial) + kRefusedVersionSuffix;
}

}  // namespace

UserSettings::UserSettings()
    : owned(std::make_unique<wxConfig>("Vantrel", "NorvaneLabs", wxEmptyString, wxEmptyString,
                                       wxCONFIG_USE_LOCAL_FILE)),
      store(*owned)
{
}

UserSettings::UserSettings(wxConfigBase& store) : store(store) {}

UserSettings::~UserSettings() = default;

std::optional<WindowPlacement> UserSettings::ReadPlacement() const
{
    WindowPlacement placement;
    long* const fields[4] = {&placement.left, &placement.top, &placement.width, &placement.height};
    for (int i = 0; i < 4; ++i) {
        if (!store.Read(kPlacementKeys[i], fields[i])) {
            return std::nullopt;
        }
    }
    return placement;
}

void UserSettings::WritePlacement(const WindowPlacement& placement)
{
    const long fields[4] = {placement.left, placement.top, placement.width, placement.height};
    for (int i = 0; i < 4; ++i) {
        store.Write(kPlacementKeys[i], fields[i]);
    }
}

bool UserSettings::Read(const UserFlag& flag) const
{
    bool value = flag.byDefault;
    store.Read(flag.key, &value, flag.byDefault);
    return value;
}

void UserSettings::Write(const UserFlag& flag, bool value)
{
    store.Write(flag.key, value);
}

std::string UserSettings::ReadLanguage() const
{
    return store.Read(kLanguageKey, wxString()).utf8_string();
}

void UserSettings::WriteLanguage(const std::string& code)
{
    store.Write(kLanguageKey, wxString::FromUTF8(code));
}

std::optional<long> UserSettings::ReadRefusedFirmwareVersion(const std::string& serial) const
{
    long version = 0;
    if (!store.Read(RefusedVersionKey(serial), &version)) {
        return std::nullopt;
    }
    return version;
}

int UserSettings::ReadMapToolStep() const
{
    long step = kDefaultMapToolStep;
    store.Read("MapToolStep", &step);
    return IsMapToolStep(step) ? static_cast<int>(step) : kDefaultMapToolStep;
}

void UserSettings::WriteMapToolStep(int step)
{
    store.Write("MapToolStep", static_cast<long>(step));
}

void UserSettings::WriteRefusedFirmwareVersion(const std::string& serial, long version)
{
    store.Write(RefusedVersionKey(serial), version);
}

void UserSettings::ForgetRefusedFirmwareVersion(const std::string& serial)
{
    store.DeleteEntry(RefusedVersionKey(serial));
}

bool UserSettings::Has(const char* key) const
{
    return store.HasEntry(key);
}

void UserSettings::Forget(const char* key)
{
    store.DeleteEntry(key);
}

void UserSettings::Clear()
{
    store.DeleteAll();
}

void UserSettings::Flush()
{
    store.Flush();
}
