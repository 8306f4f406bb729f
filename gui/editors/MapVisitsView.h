// The "Visits" switch of each map grid: the up-shifts (shifter map) and blips
// (blipper map) counted in each cell, since connect from the live reports or
// across the whole log of a replay, shown in a corner of the cells; "Clear
// visits" starts the count again. The rule is editor/MapVisits.
#pragma once

#include <array>
#include <functional>

#include "device/LiveData.h"
#include "editor/MapVisits.h"

class wxCheckBox;
class wxCommandEvent;
class wxGrid;
class wxSizer;
class MapGridHeat;
class ReplayTimeline;

class MapVisitsView {
public:
    struct Wiring {
        // The heat look of a map grid (null until it is set up).
        std::function<MapGridHeat*(MapGridKind)> heatOf;
        // Whether a map has one column per gear for the unit.
        std::function<bool(MapGridKind)> perGearColumns;
    };
    explicit MapVisitsView(Wiring wiring);
    MapVisitsView(const MapVisitsView&) = delete;
    MapVisitsView& operator=(const MapVisitsView&) = delete;

    // The switch and the clear button of a grid, on `line` below it.
    void AttachGrid(wxGrid& grid, MapGridKind kind, wxSizer* line);
    // A live report of the unit `source`; the counts of another unit than
    // the last start again.
    void CountLive(const LiveValues& values, const void* source);
    // A replayed log: the counts are those of all its rows.
    void CountLog(const ReplayTimeline& timeline);
    void Clear();
    const MapVisits& Visits() const { return visits; }

private:
    void Show();

    Wiring wiring;
    MapVisits visits;
    std::array<wxCheckBox*, 2> switches{};  // by MapGridKind
    const void* liveSource = nullptr;
};
