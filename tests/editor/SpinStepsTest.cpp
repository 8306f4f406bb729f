// How a stepped spin settles, without the spin: arrow clicks move one whole
// step from the settled value, typed values stay on the nearest step in range.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "editor/SpinSteps.h"

namespace {

TEST(SpinSteps, ClicksStepFromTheSettledValueAndTypedValuesSnapInRange)
{
    struct Case {
        int32_t min, max, step, settled, value;  // `value`: where the toolkit moved the spin
        std::optional<int32_t> settles;
    };
    // The toolkit's increment is 1: a change by 1 is a click. Targets rounded
    // by hand: (target + step/2) / step * step.
    const Case cases[] = {
        {0, 5000, 50, 100, 101, 150},
        {0, 5000, 50, 100, 99, 50},
        {0, 5000, 50, 120, 121, 150},  // 170
        {0, 5000, 50, 120, 119, 50},   // 70
        {0, 5000, 10, 700, 701, 710},
        {0, 5000, 100, 3050, 3049, 3000},  // 2950
        {3000, 10100, 100, 10000, 9500, 9500},
        {3000, 10100, 100, 10000, 10100, 10100},  // the top
        {300, 1000, 50, 750, 900, 900},
        {300, 1000, 50, 750, 924, 900},  // nearest below
        {300, 1000, 50, 750, 925, 950},  // half way up
        {0, 4995, 10, 100, 4995, 4990},  // 5000 is past the top
        {15, 200, 10, 100, 16, 20},      // 10 is below the bottom
        {15, 18, 10, 16, 18, 18},        // no step inside: the range's end
        {0, 5000, 50, 300, 300, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SteppedValue(c.settled, c.value, 1, c.step, c.min, c.max), c.settles)
            << c.settled << " -> " << c.value << " in steps of " << c.step;
}

TEST(SpinSteps, RoundToStep)
{
    const std::pair<int32_t, int32_t> cases[] = {{137, 150}, {124, 100}, {125, 150}, {0, 0}, {5000, 5000}};
    for (const auto& [value, rounded] : cases)
        EXPECT_EQ(RoundToStep(value, 50), rounded) << value;
}

}  // namespace
