// How a spin that moves in whole steps settles after the toolkit changed its
// value, without the spin: an arrow click (a change by the toolkit's own
// increment) moves one step from the value it last settled on; a typed or
// pasted value is kept, on the nearest multiple of the step inside the range.
#pragma once

#include <cstdint>
#include <optional>

// The nearest multiple of `step` (half way goes up; the quotient truncates
// towards 0).
constexpr int32_t RoundToStep(int32_t value, int32_t step)
{
    return ((value + step / 2) / step) * step;
}

// The multiple of `step` nearest to `value` inside min ... max; the range's
// end when no multiple lies inside it.
int32_t SnapInRange(int32_t value, int32_t step, int32_t min, int32_t max);

// The value the spin settles on when the toolkit moved it from `settled` to
// `value`; none when it did not move (nothing to report).
std::optional<int32_t> SteppedValue(int32_t settled, int32_t value, int32_t increment, int32_t step,
                                    int32_t min, int32_t max);
