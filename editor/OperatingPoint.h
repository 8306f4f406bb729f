// Where the engine runs in the map grids while live data flows, and how
// often the outline of that cell may move.
#pragma once

#include <cstdint>
#include <optional>

#include "editor/MapGridRules.h"

struct GridCell {
    int row = 0;
    int col = 0;
    bool operator==(const GridCell&) const = default;
};

// Engine speeds below this have no cell (the engine idles or stands).
inline constexpr uint32_t kLowestOperatingRpm = 1500;

// The cell of a map grid for the engine speed and the engaged gear: the row
// of the nearest rpm point (2000 ... 16000; half-way goes up), and the column
// of the shift that gear leads to: shifter column g - 1 (the up-shift from
// gear g, gears 1 to 5), blipper column g - 2 (the down-shift from gear g,
// gears 2 to 6). A grid that shows one column for all gears
// (`perGearColumns` false) has the cell in that column. None in neutral,
// above sixth gear, below 1500 rpm or for a gear that has no such shift.
std::optional<GridCell> OperatingCell(uint32_t rpm, uint32_t gear, MapGridKind kind, bool perGearColumns);

// Lets the outline move at most ten times a second: a cell asked for less
// than 100 ms after the last move waits until then, and only the newest
// waiting cell counts. Times are milliseconds of any steady clock.
class OutlinePacer {
public:
    static constexpr int64_t kIntervalMs = 100;
    struct Move {
        std::optional<GridCell> from;
        std::optional<GridCell> to;
        bool operator==(const Move&) const = default;
    };

    // The cell the live data asks for now: the move to make at once, if any.
    std::optional<Move> Ask(std::optional<GridCell> cell, int64_t nowMs);
    // When a held-back cell may be shown; none when nothing waits.
    std::optional<int64_t> DueAt() const;
    // The held-back move once it is due.
    std::optional<Move> Due(int64_t nowMs);
    std::optional<GridCell> Shown() const { return shown; }

private:
    Move MoveTo(int64_t nowMs);

    std::optional<GridCell> shown;
    std::optional<GridCell> wanted;
    bool waiting = false;
    std::optional<int64_t> lastMove;
};
