#include "FaultPlan.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct KindName {
    FaultKind kind;
    const char* name;
};

constexpr KindName KIND_NAMES[] = {
    {FaultKind::Stall, "stall"},           {FaultKind::Timeout, "timeout"}, {FaultKind::Short, "short"},
    {FaultKind::Disconnect, "disconnect"}, {FaultKind::Drop, "drop"},
};

// Reads an unsigned number at `pos`: base 0 takes decimal or 0x hexadecimal
// (request codes); counts are decimal, so that "+0x1" reads as skip 0, count 1.
bool ReadNumber(const std::string& text, size_t& pos, long& value, int base)
{
    const char* begin = text.c_str() + pos;
    if (*begin < '0' || *begin > '9') {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(begin, &end, base);
    if (end == begin || value < 0) {
        return false;
    }
    pos += static_cast<size_t>(end - begin);
    return true;
}

}  // namespace

std::optional<FaultSpec> ParseFaultSpec(const std::string& text)
{
    FaultSpec fault;
    size_t pos = text.find_first_of("@+x=");
    const std::string kind = text.substr(0, pos);
    bool known = false;
    for (const KindName& entry : KIND_NAMES) {
        if (kind == entry.name) {
            fault.kind = entry.kind;
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    if (pos == std::string::npos) {
        return fault;
    }
    if (text[pos] == '@') {
        ++pos;
        long value = 0;
        if (text.compare(pos, 4, "live") == 0) {
            fault.target = FAULT_LIVE_ENDPOINT;
            pos += 4;
        } else if (text.compare(pos, 3, "any") == 0) {
            fault.target = FAULT_ANY_TRANSFER;
            pos += 3;
        } else if (ReadNumber(text, pos, value, 0) && value <= 0xFF) {
            fault.target = static_cast<int>(value);
        } else {
            return std::nullopt;
        }
    }
    while (pos < text.size()) {
        const char tag = text[pos++];
        long value = 0;
        if (!ReadNumber(text, pos, value, 10) || value > 0xFFFFFF) {
            return std::nullopt;
        }
        switch (tag) {
            case '+':
                fault.skip = static_cast<uint32_t>(value);
                break;
            case 'x':
                fault.count = static_cast<uint32_t>(value);
                break;
            case '=':
                fault.shortLength = static_cast<int32_t>(value);
                break;
            default:
                return std::nullopt;
        }
    }
    return fault;
}

std::string FormatFaultSpec(const FaultSpec& fault)
{
    std::string text;
    for (const KindName& entry : KIND_NAMES) {
        if (entry.kind == fault.kind) {
            text = entry.name;
        }
    }
    if (fault.target == FAULT_LIVE_ENDPOINT) {
        text += "@live";
    } else if (fault.target == FAULT_ANY_TRANSFER) {
        text += "@any";
    } else {
        char code[8];
        std::snprintf(code, sizeof code, "@0x%02x", fault.target & 0xFF);
        text += code;
    }
    text += "+" + std::to_string(fault.skip) + "x" + std::to_string(fault.count);
    if (fault.kind == FaultKind::Short && fault.shortLength >= 0) {
        text += "=" + std::to_string(fault.shortLength);
    }
    return text;
}

void FaultPlan::Add(const FaultSpec& fault)
{
    std::lock_guard lock(mutex);
    entries.push_back(Entry{fault});
}

void FaultPlan::Clear()
{
    std::lock_guard lock(mutex);
    entries.clear();
}

std::optional<FaultSpec> FaultPlan::Next(int target)
{
    std::lock_guard lock(mutex);
    std::optional<FaultSpec> firing;
    for (Entry& entry : entries) {
        if (entry.spec.target != FAULT_ANY_TRANSFER && entry.spec.target != target) {
            continue;
        }
        ++entry.seen;
        const bool due = entry.seen > entry.spec.skip;
        const bool left = entry.spec.count == 0 || entry.fired < entry.spec.count;
        if (!firing && due && left) {
            ++entry.fired;
            ++firedTotal;
            firing = entry.spec;
        }
    }
    return firing;
}

uint32_t FaultPlan::FiredCount() const
{
    std::lock_guard lock(mutex);
    return firedTotal;
}
