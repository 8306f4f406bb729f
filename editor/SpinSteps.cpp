#include "editor/SpinSteps.h"

#include <algorithm>

int32_t SnapInRange(int32_t value, int32_t step, int32_t min, int32_t max)
{
    int32_t snapped = RoundToStep(value, step);
    if (snapped > max && snapped - step >= min)
        snapped -= step;
    if (snapped < min && snapped + step <= max)
        snapped += step;
    return std::clamp<int32_t>(snapped, min, max);
}

std::optional<int32_t> SteppedValue(int32_t settled, int32_t value, int32_t increment, int32_t step,
                                    int32_t min, int32_t max)
{
    if (value == settled)
        return std::nullopt;
    if (value - settled == increment || settled - value == increment) {
        // An arrow click, an arrow key or the mouse wheel: one whole step.
        return RoundToStep(value > settled ? settled + step : settled - step, step);
    }
    // Typed or pasted: the value stays, on a multiple of the step.
    return SnapInRange(value, step, min, max);
}
