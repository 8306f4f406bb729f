#include "UdevRules.h"

#include <fnmatch.h>

#include <regex>
#include <sstream>

namespace {

const std::set<std::string> kMatchKeys{"ACTION", "SUBSYSTEM", "ENV", "ATTR"};
const std::set<std::string> kAssignKeys{"TAG", "MODE", "GROUP", "OWNER", "GOTO", "LABEL"};

// Splits a rule line at the commas that stand between tokens (not inside quotes).
std::vector<std::string> SplitTokens(const std::string& line, bool& unterminated)
{
    std::vector<std::string> parts;
    std::string current;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    unterminated = quoted;
    return parts;
}

bool Matches(const std::string& pattern, const std::string& value)
{
    // udev matches values as shell globs, with "|" separating alternatives.
    std::stringstream alternatives(pattern);
    std::string one;
    while (std::getline(alternatives, one, '|')) {
        if (fnmatch(one.c_str(), value.c_str(), 0) == 0)
            return true;
    }
    return false;
}

std::string Lookup(const UdevEvent& event, const UdevToken& token)
{
    const auto find = [](const std::map<std::string, std::string>& map, const std::string& key) {
        const auto it = map.find(key);
        return it == map.end() ? std::string() : it->second;
    };
    if (token.key == "ACTION")
        return event.action;
    if (token.key == "SUBSYSTEM")
        return event.subsystem;
    if (token.key == "ENV")
        return find(event.env, token.attr);
    return find(event.attrs, token.attr);
}

}  // namespace

UdevRulesFile ParseUdevRules(const std::string& text)
{
    static const std::regex kToken(
        R"re(^\s*([A-Z_]+)(\{([^}]+)\})?\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*$)re");
    UdevRulesFile file;
    std::stringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const auto fail = [&](const std::string& why) {
            file.errors.push_back("line " + std::to_string(number) + ": " + why);
        };
        if (line.back() == '\\') {
            fail("continued lines are not used here");
            continue;
        }
        bool unterminated = false;
        UdevRule rule;
        rule.line = number;
        for (const std::string& part : SplitTokens(line, unterminated)) {
            std::smatch m;
            if (!std::regex_match(part, m, kToken)) {
                fail("cannot parse \"" + part + "\"");
                continue;
            }
            UdevToken token{m[1], m[3], m[4], m[5]};
            const bool isMatch = token.op == "==" || token.op == "!=";
            if (isMatch && !kMatchKeys.count(token.key))
                fail("unknown match key " + token.key);
            else if (!isMatch && !kAssignKeys.count(token.key))
                fail("unknown assignment key " + token.key);
            else if ((token.key == "ENV" || token.key == "ATTR") && token.attr.empty())
                fail(token.key + " needs a name in braces");
            else if (token.key != "ENV" && token.key != "ATTR" && !token.attr.empty())
                fail(token.key + " takes no name in braces");
            rule.tokens.push_back(token);
        }
        if (unterminated)
            fail("unterminated quote");
        file.rules.push_back(rule);
    }
    // Every GOTO must find its LABEL further down, or udevd ignores the jump.
    for (size_t i = 0; i < file.rules.size(); ++i) {
        for (const UdevToken& token : file.rules[i].tokens) {
            if (token.key != "GOTO")
                continue;
            bool found = false;
            for (size_t j = i + 1; j < file.rules.size() && !found; ++j) {
                for (const UdevToken& other : file.rules[j].tokens)
                    found = found || (other.key == "LABEL" && other.value == token.value);
            }
            if (!found)
                file.errors.push_back("line " + std::to_string(file.rules[i].line) + ": GOTO \"" +
                                      token.value + "\" has no LABEL after it");
        }
    }
    return file;
}

UdevOutcome RunUdevRules(const UdevRulesFile& file, const UdevEvent& event)
{
    UdevOutcome outcome;
    std::string jumpTo;
    for (const UdevRule& rule : file.rules) {
        if (!jumpTo.empty()) {
            bool isTarget = false;
            for (const UdevToken& token : rule.tokens)
                isTarget = isTarget || (token.key == "LABEL" && token.value == jumpTo);
            if (!isTarget)
                continue;
            jumpTo.clear();
        }
        bool matched = true;
        for (const UdevToken& token : rule.tokens) {
            if (token.op == "==")
                matched = matched && Matches(token.value, Lookup(event, token));
            else if (token.op == "!=")
                matched = matched && !Matches(token.value, Lookup(event, token));
        }
        if (!matched)
            continue;
        for (const UdevToken& token : rule.tokens) {
            if (token.key == "TAG") {
                if (token.op == "-=")
                    outcome.tags.erase(token.value);
                else if (token.op == "=")
                    outcome.tags = {token.value};
                else if (token.op == "+=")
                    outcome.tags.insert(token.value);
            } else if (token.key == "MODE") {
                outcome.mode = token.value;
            } else if (token.key == "GROUP") {
                outcome.group = token.value;
            } else if (token.key == "OWNER") {
                outcome.owner = token.value;
            } else if (token.key == "GOTO") {
                jumpTo = token.value;
            }
        }
    }
    return outcome;
}
