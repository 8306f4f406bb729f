// The command line of vantrel: a command, its options and its operands, read
// against the table of what each command takes.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The options a command may take.
enum CommandOption : unsigned {
    kOptionSerial = 1U << 0,   // --serial S
    kOptionJson = 1U << 1,     // --json
    kOptionYes = 1U << 2,      // --yes, -y
    kOptionOutput = 1U << 3,   // -o FILE, --output FILE
    kOptionSeconds = 1U << 4,  // --seconds N
    kOptionKeys = 1U << 5,     // --keys
};

struct Invocation {
    std::string command;
    std::vector<std::string> operands;
    std::optional<std::string> serial;
    std::optional<std::string> output;
    std::optional<long> seconds;
    bool json = false;
    bool yes = false;
    bool keys = false;
};

struct CommandSyntax {
    const char* name;
    unsigned options;
    size_t minOperands;
    size_t maxOperands;
    const char* usage;  // "read [-o FILE] [--serial S]"
    const char* help;   // what --help prints below the usage line
};

// What the command line asks for.
struct CommandLine {
    enum class Kind { Run, Help, Version, Error };
    Kind kind = Kind::Error;
    Invocation invocation;
    const CommandSyntax* syntax = nullptr;  // Run, and Help of one command
    std::string error;                      // Error: what is wrong with it
};

// `args` without the program name. "--help" anywhere asks for help (of the
// command when one is named), "--version" before a command for the version.
CommandLine ParseCommandLine(const std::vector<std::string>& args, std::span<const CommandSyntax> commands);
