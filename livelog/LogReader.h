// Reads a live log back. What is readable is kept: a malformed line is
// skipped and named, a log cut short keeps its complete rows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "livelog/LogFormat.h"

struct LogContents {
    std::vector<LogRow> rows;
    // The closing line ("# logging stopped", ...); empty when the log has none.
    std::string closingLine;
    // The first problem found, as a message for the user that names its line
    // (1 is the header); none for a complete, well-formed log.
    std::optional<std::string> problem;
    // False when the file is not one of the program's logs (or cannot be
    // read): nothing in it can be replayed.
    bool isLog = false;
};

LogContents ReadLog(const std::string& path);
// The same for the text of a log.
LogContents ParseLog(const std::string& text);
