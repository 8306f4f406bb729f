#include "cli/SettingsFiles.h"

#include <filesystem>
#include <memory>
#include <ostream>

#include <wx/fileconf.h>
#include <wx/sstream.h>

#include "cli/ExitStatus.h"
#include "config/SettingsKeys.h"
#include "editor/EditorModel.h"
#include "gui/VantrelBase.h"
#include "history/FieldLabels.h"

namespace {

std::string Value(const DeviceConfiguration& config, ConfigField field)
{
    return std::to_string(config.*field);
}

// "Input 1 and Input 3 have the same function and polarity", naming the
// fields as the window labels them.
std::string BreachText(const ConsistencyBreach& breach, const DeviceConfiguration& config)
{
    const std::string first = FieldLabel(breach.fields.front());
    const std::string second = FieldLabel(breach.fields.at(1));
    switch (breach.code) {
        case kConsistencyDuplicateInput:
            return first + " and " + second + " have the same function and polarity";
        case kConsistencyOutputs:
            return first + " and " + second + " have the same function";
        case kConsistencyTps:
            return first + " (" + Value(config, breach.fields[0]) + " mV), " + second + " (" +
                   Value(config, breach.fields[1]) + " mV) and " + FieldLabel(breach.fields.at(2)) + " (" +
                   Value(config, breach.fields[2]) + " mV) must rise in this order";
        default:  // the gear voltages and the ratios
            return first + " and " + second + " are both " + Value(config, breach.fields.front());
    }
}

// The rules the load broke: those of every generation, else the ratios'.
std::vector<std::string> BrokenRules(const DeviceConfiguration& config)
{
    std::vector<ConsistencyBreach> breaches = FindConsistencyBreaches(config);
    if (breaches.empty())
        breaches = FindRatioBreaches(config);
    std::vector<std::string> problems;
    problems.reserve(breaches.size());
    for (const ConsistencyBreach& breach : breaches)
        problems.push_back(BreachText(breach, config));
    return problems;
}

}  // namespace

LoadedFile LoadSettingsFile(VantrelBase& generation, const std::string& path)
{
    LoadedFile file;
    ClearConfiguration(file.config);
    std::string complaints;
    // The store takes a bare file name as one in the home folder.
    std::error_code ignored;
    const std::string absolute = std::filesystem::absolute(path, ignored).string();
    const std::unique_ptr<wxFileConfig> store =
        OpenSettingsFileToLoad(wxString::FromUTF8(absolute), &complaints);
    if (!store) {
        file.problems.push_back(complaints.empty() ? "it holds no settings" : complaints);
        return file;
    }
    if (const int32_t result = generation.LoadSettings(*store, file.config); result != 0) {
        file.outcome = LoadedFile::Outcome::Invalid;
        file.problems = BrokenRules(file.config);
        if (file.problems.empty())
            file.problems.push_back("it cannot be loaded (error " + std::to_string(result) + ")");
        return file;
    }
    // What the window marks before it writes or saves.
    for (const EditorControl control : Validate(RequestedControlValues(file.config)).listed)
        file.problems.push_back(FieldLabel(BindingOf(control).field) + " is not valid");
    file.outcome = file.problems.empty() ? LoadedFile::Outcome::Loaded : LoadedFile::Outcome::Invalid;
    return file;
}

int RefuseFile(const Console& console, const std::string& path, const LoadedFile& file)
{
    if (file.outcome == LoadedFile::Outcome::NotSettings) {
        console.Say(path + " is not a settings file: " + file.problems.front());
        return kExitRefused;
    }
    console.Say(path + " holds an invalid configuration:");
    for (const std::string& problem : file.problems)
        console.err << "  " << problem << '\n';
    return kExitRefused;
}

std::string SettingsFileText(VantrelBase& generation, const DeviceConfiguration& config)
{
    wxStringInputStream nothing(wxEmptyString);
    const std::unique_ptr<wxFileConfig> store = ReadSettingsStream(nothing);
    WriteAppVersion(*store);
    generation.SaveSettings(*store, config);
    wxStringOutputStream text;
    store->Save(text, wxConvUTF8);
    return text.GetString().utf8_string();
}
