#include "device/Features.h"

#include <array>
#include <cstddef>

namespace {

constexpr size_t kColumns = 7;

// Rows by feature id, columns in FeatureColumn order:
//                                                    100  102  104  105  107  108  simulated
constexpr std::array<std::array<int32_t, kColumns>, FEATURE_COUNT> kFeatureTable = {{
    /* FEATURE_0                     */ {16, 16, 16, 16, 16, 16, 16},
    /* FEATURE_BLIPPER_GEAR_COLUMNS  */ {5, 5, 5, 5, 5, 5, 5},
    /* FEATURE_2                     */ {16, 16, 16, 16, 16, 16, 16},
    /* FEATURE_SHIFTER_GEAR_COLUMNS  */ {5, 5, 5, 5, 5, 5, 5},
    /* FEATURE_WARMUP                */ {0, 1, 1, 1, 1, 1, 0},
    /* FEATURE_SIMULATED             */ {0, 0, 0, 0, 0, 0, 1},
    /* FEATURE_6                     */ {0, 0, 1, 1, 1, 1, 1},
    /* FEATURE_LOCK                  */ {0, 0, 0, 1, 1, 1, 1},
    /* FEATURE_GEAR_DETECTION_CHOICE */ {0, 0, 0, 0, 1, 1, 1},
    /* FEATURE_9                     */ {0, 0, 0, 0, 0, 1, 0},
}};

}  // namespace

int32_t LookupFeature(FeatureColumn column, uint32_t id)
{
    const auto index = static_cast<size_t>(column);
    if (id >= FEATURE_COUNT || index >= kColumns) {
        return 0;
    }
    return kFeatureTable[id][index];
}
