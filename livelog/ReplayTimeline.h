// Plays a log back: the position in the log's own time, the speed (x1, x2,
// x5, x10), play and pause, and seeking. The row shown is the last one at or
// before the position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "livelog/LogFormat.h"

class ReplayTimeline {
public:
    static constexpr int kSpeeds[] = {1, 2, 5, 10};

    explicit ReplayTimeline(std::vector<LogRow> rows);

    const std::vector<LogRow>& Rows() const { return rows; }
    bool Empty() const { return rows.empty(); }
    // The time of the last row (rows start at or after 0).
    uint64_t Duration() const;

    uint64_t Position() const { return position; }
    // Clamped to the log; true when the row shown changes.
    bool Seek(uint64_t ms);
    // Moves on by `realMs` times the speed while playing; pauses at the end.
    // True when the row shown changes.
    bool Advance(uint64_t realMs);

    void Play();  // from the start again when at the end
    void Pause() { playing = false; }
    bool Playing() const { return playing; }
    // One of kSpeeds; any other value is ignored.
    void SetSpeed(int factor);
    int Speed() const { return speed; }

    // Index of the row shown; 0 for an empty log.
    size_t RowIndex() const { return index; }
    // The row shown; only for a log that is not empty.
    const LogRow& Current() const { return rows[index]; }

private:
    size_t IndexAt(uint64_t ms) const;

    std::vector<LogRow> rows;
    uint64_t position = 0;
    size_t index = 0;
    int speed = 1;
    bool playing = false;
};

// A time in the log as the replay shows it: minutes, seconds and the tenth
// begun, "1:02.3" for 62,399 ms.
std::string ReplayTimeText(uint64_t ms);
