#include "cli/Arguments.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace {

// The longest a live log may be asked to run: a day.
constexpr long kMaxSeconds = 24L * 60 * 60;

struct OptionName {
    const char* name;
    CommandOption option;
    bool takesValue;
};

constexpr OptionName kOptionNames[] = {
    {"--serial", kOptionSerial, true},   {"--json", kOptionJson, false}, {"--yes", kOptionYes, false},
    {"-y", kOptionYes, false},           {"-o", kOptionOutput, true},    {"--output", kOptionOutput, true},
    {"--seconds", kOptionSeconds, true}, {"--keys", kOptionKeys, false},
};

const OptionName* FindOption(const std::string& name)
{
    for (const OptionName& entry : kOptionNames) {
        if (name == entry.name)
            return &entry;
    }
    return nullptr;
}

bool IsHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

std::optional<long> PositiveNumber(const std::string& text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || value < 1 || value > kMaxSeconds)
        return std::nullopt;
    return value;
}

CommandLine Error(std::string text)
{
    CommandLine line;
    line.error = std::move(text);
    return line;
}

// An error of a known command: its usage goes with the text.
CommandLine Failed(CommandLine& line, std::string text)
{
    line.kind = CommandLine::Kind::Error;
    line.error = std::move(text);
    return line;
}

// Stores one option's value; an error text when the value is not one.
std::string Store(Invocation& invocation, CommandOption option, const std::string& value)
{
    switch (option) {
        case kOptionSerial:
            invocation.serial = value;
            break;
        case kOptionOutput:
            invocation.output = value;
            break;
        case kOptionSeconds:
            invocation.seconds = PositiveNumber(value);
            if (!invocation.seconds)
                return "--seconds takes a whole number of seconds from 1 to " + std::to_string(kMaxSeconds);
            break;
        case kOptionJson:
            invocation.json = true;
            break;
        case kOptionYes:
            invocation.yes = true;
            break;
        case kOptionKeys:
            invocation.keys = true;
            break;
    }
    return {};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, std::span<const CommandSyntax> commands)
{
    if (args.empty())
        return Error("no command given");
    const std::string& first = args.front();
    if (IsHelp(first) || first == "help") {
        CommandLine line;
        line.kind = CommandLine::Kind::Help;
        return line;
    }
    if (first == "--version") {
        CommandLine line;
        line.kind = CommandLine::Kind::Version;
        return line;
    }
    const auto syntax =
        std::find_if(commands.begin(), commands.end(),
                     [&first](const CommandSyntax& command) { return first == command.name; });
    if (syntax == commands.end())
        return Error(first.starts_with("-") ? "unknown option '" + first + "'"
                                            : "unknown command '" + first + "'");

    CommandLine line;
    line.syntax = &*syntax;
    line.invocation.command = syntax->name;
    // Help wins over anything else on the line.
    if (std::any_of(args.begin() + 1, args.end(), IsHelp)) {
        line.kind = CommandLine::Kind::Help;
        return line;
    }
    bool operandsOnly = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg == "-" || !arg.starts_with("-")) {
            line.invocation.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        // "--serial=S" as well as "--serial S".
        const size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const OptionName* option = FindOption(name);
        if (option == nullptr)
            return Failed(line, "unknown option '" + name + "'");
        if ((syntax->options & option->option) == 0)
            return Failed(line, std::string(syntax->name) + " takes no " + name);
        std::string value;
        if (equals != std::string::npos) {
            if (!option->takesValue)
                return Failed(line, name + " takes no value");
            value = arg.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 >= args.size())
                return Failed(line, name + " needs a value");
            value = args[++i];
        }
        if (std::string error = Store(line.invocation, option->option, value); !error.empty())
            return Failed(line, error);
    }
    const size_t operands = line.invocation.operands.size();
    if (operands < syntax->minOperands)
        return Failed(line, "missing operand");
    if (operands > syntax->maxOperands)
        return Failed(line, "unexpected operand '" + line.invocation.operands[syntax->maxOperands] + "'");
    line.kind = CommandLine::Kind::Run;
    return line;
}
