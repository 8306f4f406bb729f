// A small reader of udev rule files, enough to tell what a rules file does to
// one device event: it parses the udev syntax strictly (a malformed line is an
// error, as udevd would log it and skip the rule) and runs the rules the way
// udevd does for the keys our rule uses.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct UdevToken {
    std::string key;   // "ATTR", "SUBSYSTEM", "TAG", ...
    std::string attr;  // the part in braces: ATTR{idVendor} -> "idVendor"
    std::string op;    // "==", "!=", "=", "+=", "-=", ":="
    std::string value;
};

struct UdevRule {
    int line = 0;
    std::vector<UdevToken> tokens;
};

struct UdevRulesFile {
    std::vector<UdevRule> rules;
    std::vector<std::string> errors;  // "line N: why"
};

// One device event as udev sees it.
struct UdevEvent {
    std::string action;
    std::string subsystem;
    std::map<std::string, std::string> env;    // ENV{...}
    std::map<std::string, std::string> attrs;  // ATTR{...} of the device itself
};

struct UdevOutcome {
    std::set<std::string> tags;
    std::optional<std::string> mode, group, owner;
};

UdevRulesFile ParseUdevRules(const std::string& text);
UdevOutcome RunUdevRules(const UdevRulesFile& file, const UdevEvent& event);
