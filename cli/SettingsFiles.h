// Settings files as the window's Open loads them and its Save as writes
// them: through the generation of a connection, so that a unit's own key set
// applies (the simulated connection's is that of the newest generations).
#pragma once

#include <string>
#include <vector>

#include "cli/Console.h"
#include "config/DeviceConfiguration.h"

class VantrelBase;

struct LoadedFile {
    enum class Outcome { Loaded, NotSettings, Invalid };
    Outcome outcome = Outcome::NotSettings;
    DeviceConfiguration config{};
    // NotSettings: why; Invalid: one line per broken rule, naming its fields.
    std::vector<std::string> problems;
};

// Loads the file and checks it with the rules of a file's configuration and
// with the window's validation.
LoadedFile LoadSettingsFile(VantrelBase& generation, const std::string& path);
// Says why the file was not loaded; gives kExitRefused.
int RefuseFile(const Console& console, const std::string& path, const LoadedFile& file);

// The Save-as text of the record for the generation.
std::string SettingsFileText(VantrelBase& generation, const DeviceConfiguration& config);
