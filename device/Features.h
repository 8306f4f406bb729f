// Capability ids answered by GetFeature and the table of their values per
// generation. The table is data so that the generations differ in one place.
#pragma once

#include <cstdint>

enum FeatureId : uint32_t {
    FEATURE_0 = 0,                      // 16 everywhere; not queried
    FEATURE_BLIPPER_GEAR_COLUMNS = 1,   // 5: per-gear columns of the blipper map
    FEATURE_2 = 2,                      // 16 everywhere; not queried
    FEATURE_SHIFTER_GEAR_COLUMNS = 3,   // 5: per-gear columns of the shifter map
    FEATURE_WARMUP = 4,                 // warm-up limiter can be switched on
    FEATURE_SIMULATED = 5,              // marks the simulated device
    FEATURE_6 = 6,                      // not queried
    FEATURE_LOCK = 7,                   // configuration lock available
    FEATURE_GEAR_DETECTION_CHOICE = 8,  // gear by voltage or by rpm/speed ratio
    FEATURE_9 = 9,                      // not queried
};

inline constexpr uint32_t FEATURE_COUNT = 10;

// The columns of the table: each generation that adds a capability starts a
// column; the generations between keep the column before them.
enum class FeatureColumn : uint8_t {
    Gen100,  // 100, 101
    Gen102,  // 102, 103
    Gen104,  // 104
    Gen105,  // 105, 106
    Gen107,  // 107
    Gen108,  // 108
    Simulated,
};

// The value of a capability in a column; 0 for an id outside the table.
int32_t LookupFeature(FeatureColumn column, uint32_t id);
