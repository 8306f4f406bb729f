// vantrel read: the unit's configuration as a settings file (the window's
// Save-as format for the unit's generation), to a file or standard output.
// The configuration read is kept in the unit's history as the window's Read
// keeps it.
#include <ostream>

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "cli/SettingsFiles.h"
#include "cli/UnitSession.h"

int ReadCommand(const Invocation& invocation, const Console& console)
{
    OutputFile file;
    std::string error;
    if (invocation.output && !file.Create(*invocation.output, error)) {
        console.Say("Cannot write " + *invocation.output + ": " + error);
        return kExitUsage;
    }
    UnitSession session(console);
    DeviceConfiguration config;
    if (const int status = session.OpenApplication(invocation.serial))
        return status;
    if (const int status = session.ReadConfiguration(config))
        return status;
    // The file is written even when the history could not be kept (that is said).
    session.Keep(config, "read");

    const std::string text = SettingsFileText(session.Unit(), config);
    if (!invocation.output) {
        console.out << text << std::flush;
        return kExitSuccess;
    }
    if (!file.Commit(text, error)) {
        console.Say("Cannot write " + *invocation.output + ": " + error);
        return kExitUsage;
    }
    return kExitSuccess;
}
