// Live logs as users might open or replay them: any text (merged, cut short,
// edited in a spreadsheet, not a log at all).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "livelog/LogReader.h"
#include "livelog/ReplayTimeline.h"

namespace {

std::string RowsLeft(size_t rows)
{
    return std::to_string(rows) + (rows == 1 ? " readable row " : " readable rows ");
}

// Nothing readable is lost: every well-formed row before the closing line whose
// time does not run back is kept, in order; the first line refused is named.
void CheckRows(std::string_view text, const LogContents& contents)
{
    size_t number = 0;   // of the line
    size_t kept = 0;     // rows of contents met so far
    size_t refused = 0;  // first complete line refused
    size_t cut = 0;      // the last line, cut short and refused
    bool closed = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (++number == 1) {
            FUZZ_CHECK(contents.isLog == (line == LogHeader()));
            FUZZ_CHECK(contents.isLog || (contents.rows.empty() && contents.problem.has_value()));
            if (!contents.isLog)
                return;
            continue;
        }
        std::optional<LogRow> row;
        if (!closed && line.starts_with('#')) {
            closed = true;
            FUZZ_CHECK(contents.closingLine == line);
        } else if (!closed && (row = ParseLogRow(line)) &&
                   (kept == 0 || row->ms >= contents.rows[kept - 1].ms)) {
            FUZZ_CHECK(kept < contents.rows.size() && contents.rows[kept] == *row);
            ++kept;
        } else if (end == std::string_view::npos && !closed) {
            cut = number;
        } else if (refused == 0 && !(closed && line.empty())) {
            refused = number;
        }
    }
    FUZZ_CHECK(kept == contents.rows.size());
    const std::string problem = contents.problem.value_or("");
    const std::string left = RowsLeft(kept);
    if (number == 0) {
        FUZZ_CHECK(!contents.isLog && problem.ends_with("it is empty."));
    } else if (refused != 0) {
        FUZZ_CHECK(
            problem.starts_with("Line " + std::to_string(refused) + " of the log is malformed; the " + left));
    } else if (cut != 0) {
        FUZZ_CHECK(problem.starts_with("The log is truncated: line " + std::to_string(cut) +
                                       " is incomplete; the " + left));
    } else if (!closed) {
        FUZZ_CHECK(problem.starts_with("The log is truncated after line " + std::to_string(number)));
        FUZZ_CHECK(problem.find(left) != std::string::npos);
    } else {
        FUZZ_CHECK(!contents.problem.has_value());
    }
}

// The row shown is the last one at or before the position.
void CheckShown(const ReplayTimeline& replay)
{
    const auto& rows = replay.Rows();
    const size_t index = replay.RowIndex();
    FUZZ_CHECK(index < rows.size());
    FUZZ_CHECK(index == 0 || rows[index].ms <= replay.Position());
    FUZZ_CHECK(index + 1 == rows.size() || rows[index + 1].ms > replay.Position());
}

// Sought anywhere, and played at top speed from near its end, the replay shows
// the right row, never runs back and stops at the last row.
void CheckReplay(const std::vector<LogRow>& rows)
{
    if (rows.empty())
        return;
    ReplayTimeline replay(rows);
    const uint64_t end = replay.Duration();
    for (uint64_t at : {uint64_t{0}, end / 2, end - end / 1000, end, UINT64_MAX}) {
        replay.Seek(at);
        CheckShown(replay);
    }
    replay.Seek(end - std::min<uint64_t>(end, 100));
    replay.SetSpeed(10);
    replay.Play();
    for (int tick = 0; tick < 4 && replay.Playing(); ++tick) {
        const uint64_t before = replay.Position();
        replay.Advance(40);
        FUZZ_CHECK(replay.Position() >= before);
        CheckShown(replay);
    }
    FUZZ_CHECK(!replay.Playing() && replay.Position() == end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const LogContents contents = ParseLog(text);
    CheckRows(text, contents);
    CheckReplay(contents.rows);
    return 0;
}
