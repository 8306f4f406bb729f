#include "cli/Vantrel.h"

#include <exception>
#include <ostream>

#include <wx/string.h>

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "config/AppVersion.h"

namespace {

using Run = int (*)(const Invocation&, const Console&);

struct Command {
    CommandSyntax syntax;
    Run run;
};

constexpr unsigned kUnit = kOptionSerial;

// clang-format off
const Command kCommands[] = {
    {{"list", kOptionJson, 0, 0, "list [--json]",
      "Lists every attached unit: serial number, mode (application or bootloader), firmware and\n"
      "bootloader versions, and where it is on the bus."}, &ListCommand},
    {{"info", kUnit | kOptionJson, 0, 0, "info [--serial S] [--json]",
      "Shows the unit in detail: generation, versions, lock state and the features of its generation."},
     &InfoCommand},
    {{"read", kUnit | kOptionOutput, 0, 0, "read [--serial S] [-o FILE]",
      "Reads the unit's configuration and writes it as a settings file (.vtn), to FILE or to\n"
      "standard output. The configuration is kept in the unit's history."}, &ReadCommand},
    {{"write", kUnit | kOptionYes, 1, 1, "write FILE [--serial S] [--yes]",
      "Writes the settings file FILE into the unit. The file is loaded and checked as the window\n"
      "does; the fields that change are listed; on a terminal the command asks before it writes,\n"
      "otherwise it needs --yes. The unit's configuration is kept in its history first, and the\n"
      "written configuration is read back and compared."}, &WriteCommand},
    {{"diff", kUnit | kOptionKeys, 2, 2, "diff A B [--serial S] [--keys]",
      "Lists the fields in which A and B differ, each a settings file or the word \"unit\", one\n"
      "line per field: its name, A's value and B's value. --keys names the fields by their\n"
      "settings keys. Exit status 0 when they are equal, 1 when they differ."}, &DiffCommand},
    {{"lock", kUnit | kOptionYes, 0, 0, "lock [--serial S] [--yes]",
      "Locks the unit's configuration, after keeping it in the unit's history. Asks first on a\n"
      "terminal, otherwise needs --yes."}, &LockCommand},
    {{"update", kUnit | kOptionYes, 0, 0, "update [--serial S] [--yes]",
      "Updates the unit's firmware as the window does, also a unit waiting in its bootloader.\n"
      "Asks first on a terminal, otherwise needs --yes. Ctrl+C is held until the unit is safe."},
     &UpdateCommand},
    {{"log", kUnit | kOptionOutput | kOptionSeconds, 0, 0, "log [--serial S] [-o FILE] [--seconds N]",
      "Logs the unit's live reports ten times a second in the window's CSV format, to FILE (which\n"
      "must not exist) or standard output, for N seconds or until Ctrl+C."}, &LogCommand},
    {{"history", kUnit, 0, 0, "history [--serial S]",
      "Lists the unit's history entries, newest first: time, event and file."}, &HistoryCommand},
};
// clang-format on

std::vector<CommandSyntax> Syntaxes()
{
    std::vector<CommandSyntax> syntaxes;
    for (const Command& command : kCommands)
        syntaxes.push_back(command.syntax);
    return syntaxes;
}

void PrintUsage(std::ostream& out)
{
    out << "Usage: vantrel COMMAND [OPTIONS]\n\n"
           "Configures the Norvane Labs shift-assist unit over USB.\n\nCommands:\n";
    for (const Command& command : kCommands)
        out << "  vantrel " << command.syntax.usage << '\n';
    out << "\n--serial S chooses among several attached units. 'vantrel COMMAND --help' tells more.\n"
           "Exit status: 0 success, 1 differences (diff), 2 usage error, 3 no unit, unit not found or\n"
           "several units, 4 refused, 5 the unit failed.\n";
}

}  // namespace

int RunVantrel(const std::vector<std::string>& args, const Console& console)
{
    const std::vector<CommandSyntax> syntaxes = Syntaxes();
    const CommandLine line = ParseCommandLine(args, syntaxes);
    switch (line.kind) {
        case CommandLine::Kind::Version:
            // As the window's About box gives it: "26.08.01".
            console.out << "vantrel " << wxString::Format("%s.%02d", kAppVersion, kAppBuild).utf8_string()
                        << '\n';
            return kExitSuccess;
        case CommandLine::Kind::Help:
            if (line.syntax == nullptr)
                PrintUsage(console.out);
            else
                console.out << "Usage: vantrel " << line.syntax->usage << "\n\n" << line.syntax->help << '\n';
            return kExitSuccess;
        case CommandLine::Kind::Error:
            console.Say(line.error);
            if (line.syntax != nullptr)
                console.err << "Usage: vantrel " << line.syntax->usage << '\n';
            else
                PrintUsage(console.err);
            return kExitUsage;
        case CommandLine::Kind::Run:
            break;
    }
    const Command& command = kCommands[line.syntax - syntaxes.data()];
    try {
        return command.run(line.invocation, console);
    } catch (const std::exception& error) {
        console.Say(std::string("Stopped: ") + error.what());
        return kExitRefused;
    }
}
