// The live log's file format: a CSV text that opens in a spreadsheet. The
// first line is the header with each column's name and unit; then one row per
// live report: milliseconds since logging started, the wall-clock time, every
// decoded value and the raw report bytes in hex. A line starting with '#'
// closes the log and says why it ended.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "device/LiveData.h"

struct LogRow {
    uint64_t ms = 0;        // since logging started
    std::string wallClock;  // local time, "2026-12-08 06:17:34.123"
    LiveValues values;
    LiveRaw raw{};

    friend bool operator==(const LogRow&, const LogRow&) = default;
};

// The header line, without its line end.
const std::string& LogHeader();
// Number of comma-separated fields of the header and of every row.
size_t LogColumnCount();

// One row, without its line end.
std::string FormatLogRow(const LogRow& row);
// A row parsed back; none when the line is not a well-formed row.
std::optional<LogRow> ParseLogRow(std::string_view line);

// The closing lines the writer ends a log with.
inline constexpr std::string_view kLogStoppedLine = "# logging stopped";
inline constexpr std::string_view kLogDisconnectedLine = "# unit disconnected, logging stopped";

// Local time with milliseconds, "2026-12-08 06:17:34.123".
std::string WallClockText(std::time_t seconds, int milliseconds);
// The row of a report received now, in a log started at `started`.
LogRow LogRowNow(std::chrono::steady_clock::time_point started, const LiveValues& values, const LiveRaw& raw);
// The log's default file name: the unit's serial and the start time,
// "vantrel-log-<serial>-20261208-061734.csv". Characters that do not belong in
// a file name become '_'.
std::string DefaultLogFileName(std::string_view serial, std::time_t start);
