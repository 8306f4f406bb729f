#include "editor/MapHeatColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Nine evenly spaced points of a perceptually uniform violet-blue-green-yellow
// ramp; between them the colour is interpolated.
constexpr std::array<Rgb, 9> kRamp = {{{68, 1, 84},
                                       {71, 44, 122},
                                       {59, 81, 139},
                                       {44, 113, 142},
                                       {33, 144, 141},
                                       {39, 173, 129},
                                       {92, 200, 99},
                                       {170, 220, 50},
                                       {253, 231, 37}}};

uint8_t Mix(uint8_t from, uint8_t to, double weight)
{
    return static_cast<uint8_t>(std::lround(from + (to - from) * weight));
}

double Linear(uint8_t channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb ReadableText(Rgb background)
{
    return ContrastRatio(background, kBlackText) >= ContrastRatio(background, kWhiteText) ? kBlackText
                                                                                          : kWhiteText;
}

}  // namespace

Rgb RampColour(double position)
{
    const double scaled = std::clamp(position, 0.0, 1.0) * (kRamp.size() - 1);
    const size_t lower = std::min(static_cast<size_t>(scaled), kRamp.size() - 2);
    const double weight = scaled - static_cast<double>(lower);
    const Rgb& from = kRamp[lower];
    const Rgb& to = kRamp[lower + 1];
    return {Mix(from.red, to.red, weight), Mix(from.green, to.green, weight),
            Mix(from.blue, to.blue, weight)};
}

CellColours MapCellColours(long value, MapGridKind kind)
{
    if (value == 0)
        return {kFunctionOffColour, ReadableText(kFunctionOffColour), false};
    if (!CellValueAllowed(value, kind))
        return {kInvalidCellColour, ReadableText(kInvalidCellColour), true};
    const double position = static_cast<double>(value - kMapCellMinimum) /
                            static_cast<double>(MapCellMaximum(kind) - kMapCellMinimum);
    const Rgb background = RampColour(position);
    return {background, ReadableText(background), false};
}

double RelativeLuminance(Rgb colour)
{
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

double ContrastRatio(Rgb first, Rgb second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}
