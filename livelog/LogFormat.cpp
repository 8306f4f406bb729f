#include "livelog/LogFormat.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct Column {
    const char* header;
    uint32_t LiveValues::*field;  // null: powerFlag, which is a bool
};

// The decoded values in the order of LiveValues.
const std::array<Column, 24> kValueColumns = {{
    {"rpm [rpm]", &LiveValues::rpm},
    {"speed [km/h]", &LiveValues::speed},
    {"throttle [mV]", &LiveValues::tpsVoltage},
    {"gear sensor [mV]", &LiveValues::gearVoltage},
    {"input 1 [mV]", &LiveValues::inputVoltage1},
    {"input 2 [mV]", &LiveValues::inputVoltage2},
    {"input 3 [mV]", &LiveValues::inputVoltage3},
    {"input 4 [mV]", &LiveValues::inputVoltage4},
    {"input 5 [mV]", &LiveValues::inputVoltage5},
    {"input 6 [mV]", &LiveValues::inputVoltage6},
    {"in shifter [on/off]", &LiveValues::inputShifter},
    {"in blipper [on/off]", &LiveValues::inputBlipper},
    {"in warm-up [on/off]", &LiveValues::inputWarmUp},
    {"in pit [on/off]", &LiveValues::inputPit},
    {"in clutch [on/off]", &LiveValues::inputClutch},
    {"in deactivation [on/off]", &LiveValues::inputDeactivation},
    {"out rpm LED [on/off]", &LiveValues::outputRpmLed},
    {"out blipper [on/off]", &LiveValues::outputBlipper},
    {"out ignition cut [on/off]", &LiveValues::outputIgnition},
    {"out injection cut [on/off]", &LiveValues::outputInjection},
    {"gear [number]", &LiveValues::gear},
    {"power [on/off]", nullptr},
    {"rpm/speed ratio [number]", &LiveValues::rpmSpeedRatio},
    {"supply [mV]", &LiveValues::supplyVoltage},
}};

// time, wall clock, the values, the raw bytes.
constexpr size_t kColumns = 2 + 24 + 1;

std::string MakeHeader()
{
    std::string header = "time [ms],wall clock [local time]";
    for (const Column& column : kValueColumns) {
        header += ',';
        header += column.header;
    }
    header += ",raw report [hex]";
    return header;
}

bool ParseNumber(std::string_view text, uint64_t& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// "39 47 E8 ..." with exactly LIVE_RAW_LENGTH bytes.
bool ParseRaw(std::string_view text, LiveRaw& raw)
{
    if (text.size() != LIVE_RAW_LENGTH * 3 - 1) {
        return false;
    }
    for (size_t i = 0; i < LIVE_RAW_LENGTH; ++i) {
        const int high = HexDigit(text[i * 3]);
        const int low = HexDigit(text[i * 3 + 1]);
        if (high < 0 || low < 0 || (i + 1 < LIVE_RAW_LENGTH && text[i * 3 + 2] != ' ')) {
            return false;
        }
        raw[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

}  // namespace

const std::string& LogHeader()
{
    static const std::string header = MakeHeader();
    return header;
}

size_t LogColumnCount()
{
    return kColumns;
}

std::string FormatLogRow(const LogRow& row)
{
    std::string line;
    line.reserve(200);
    line += std::to_string(row.ms);
    line += ',';
    line += row.wallClock;
    for (const Column& column : kValueColumns) {
        line += ',';
        line += std::to_string(column.field != nullptr ? row.values.*column.field
                                                       : (row.values.powerFlag ? 1 : 0));
    }
    line += ',';
    static const char* const kHex = "0123456789ABCDEF";
    for (size_t i = 0; i < LIVE_RAW_LENGTH; ++i) {
        if (i > 0) {
            line += ' ';
        }
        line += kHex[row.raw[i] >> 4];
        line += kHex[row.raw[i] & 0x0F];
    }
    return line;
}

std::optional<LogRow> ParseLogRow(std::string_view line)
{
    std::array<std::string_view, kColumns> fields;
    size_t count = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = line.find(',', start);
        if (count == kColumns) {
            return std::nullopt;  // more fields than columns
        }
        fields[count++] =
            line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (count != kColumns) {
        return std::nullopt;
    }
    LogRow row;
    if (!ParseNumber(fields[0], row.ms) || fields[1].empty()) {
        return std::nullopt;
    }
    row.wallClock = std::string(fields[1]);
    for (size_t i = 0; i < kValueColumns.size(); ++i) {
        uint64_t value = 0;
        if (!ParseNumber(fields[2 + i], value) || value > UINT32_MAX) {
            return std::nullopt;
        }
        if (kValueColumns[i].field != nullptr) {
            row.values.*kValueColumns[i].field = static_cast<uint32_t>(value);
        } else if (value > 1) {
            return std::nullopt;
        } else {
            row.values.powerFlag = value == 1;
        }
    }
    if (!ParseRaw(fields[kColumns - 1], row.raw)) {
        return std::nullopt;
    }
    return row;
}

std::string WallClockText(std::time_t seconds, int milliseconds)
{
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, milliseconds);
    return text;
}

LogRow LogRowNow(std::chrono::steady_clock::time_point started, const LiveValues& values, const LiveRaw& raw)
{
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    const auto sinceEpoch =
        duration_cast<milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    LogRow row;
    row.ms = static_cast<uint64_t>(
        duration_cast<milliseconds>(std::chrono::steady_clock::now() - started).count());
    row.wallClock =
        WallClockText(static_cast<std::time_t>(sinceEpoch / 1000), static_cast<int>(sinceEpoch % 1000));
    row.values = values;
    row.raw = raw;
    return row;
}

std::string DefaultLogFileName(std::string_view serial, std::time_t start)
{
    std::string name = "vantrel-log-";
    for (char c : serial.empty() ? std::string_view("unit") : serial) {
        const bool plain =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        name += plain ? c : '_';
    }
    std::tm local{};
    localtime_r(&start, &local);
    char time[64];
    std::snprintf(time, sizeof time, "-%04d%02d%02d-%02d%02d%02d.csv", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return name + time;
}
