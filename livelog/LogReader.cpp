#include "livelog/LogReader.h"

#include <fstream>
#include <sstream>
#include <string_view>

namespace {

std::string RowsLeft(size_t rows)
{
    return rows == 1 ? "the 1 readable row can be replayed."
                     : "the " + std::to_string(rows) + " readable rows can be replayed.";
}

}  // namespace

LogContents ReadLog(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        LogContents contents;
        contents.problem = "The log \"" + path + "\" cannot be read.";
        return contents;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return ParseLog(text.str());
}

LogContents ParseLog(const std::string& text)
{
    LogContents contents;
    const std::string_view all(text);
    size_t lineNumber = 0;
    size_t start = 0;
    size_t badLine = 0;    // first malformed line, 0: none
    bool lastCut = false;  // the last line has no line end
    size_t lastNumber = 0;
    while (start < all.size()) {
        const size_t end = all.find('\n', start);
        const bool complete = end != std::string_view::npos;
        std::string_view line = all.substr(start, complete ? end - start : std::string_view::npos);
        start = complete ? end + 1 : all.size();
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);  // a spreadsheet may save CR LF
        }
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != LogHeader()) {
                contents.problem =
                    "This file is not a VantrelStudio live log: line 1 is not the header of one.";
                return contents;
            }
            contents.isLog = true;
            continue;
        }
        if (!contents.closingLine.empty()) {
            if (!line.empty() && badLine == 0) {
                badLine = lineNumber;  // nothing follows the closing line
            }
            continue;
        }
        if (!line.empty() && line.front() == '#') {
            contents.closingLine = std::string(line);
            continue;
        }
        std::optional<LogRow> row = ParseLogRow(line);
        if (row.has_value() && !contents.rows.empty() && row->ms < contents.rows.back().ms) {
            row.reset();  // time runs forward only
        }
        if (!row.has_value()) {
            if (!complete) {
                lastCut = true;
                lastNumber = lineNumber;
            } else if (badLine == 0) {
                badLine = lineNumber;
            }
            continue;
        }
        contents.rows.push_back(std::move(*row));
    }
    if (!contents.isLog) {
        contents.problem = "This file is not a VantrelStudio live log: it is empty.";
        return contents;
    }
    if (badLine != 0) {
        contents.problem =
            "Line " + std::to_string(badLine) + " of the log is malformed; " + RowsLeft(contents.rows.size());
    } else if (lastCut) {
        contents.problem = "The log is truncated: line " + std::to_string(lastNumber) + " is incomplete; " +
                           RowsLeft(contents.rows.size());
    } else if (contents.closingLine.empty()) {
        contents.problem = "The log is truncated after line " + std::to_string(lineNumber) +
                           ": it has no closing line; " + RowsLeft(contents.rows.size());
    }
    return contents;
}
