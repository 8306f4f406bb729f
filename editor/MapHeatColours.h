// The colours of the map grids' cells: a heat map of the cut and blip times.
// 0 (the function is off) is a neutral grey; 30 ms up to the map's maximum
// run along a ramp from dark violet through blue and green to yellow, whose
// lightness rises all the way, so that the order also reads without telling
// red from green. The text is black or white, whichever stands out more.
#pragma once

#include <cstdint>

#include "editor/MapGridRules.h"

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlackText{0, 0, 0};
inline constexpr Rgb kWhiteText{255, 255, 255};
inline constexpr Rgb kFunctionOffColour{224, 224, 224};
inline constexpr Rgb kInvalidCellColour{255, 255, 255};

struct CellColours {
    Rgb background;
    Rgb text;
    // A value the unit does not take (1 to 29, negative, above the maximum):
    // a white cell that the grid hatches, so that it is on no scale.
    bool invalid = false;
    bool operator==(const CellColours&) const = default;
};

// The ramp at `position` from 0 (its dark end) to 1 (its light end).
Rgb RampColour(double position);
CellColours MapCellColours(long value, MapGridKind kind);

// Relative luminance (0 black ... 1 white) of an sRGB colour, and the
// contrast ratio of two colours (1 ... 21), as readability guidelines for
// text define them.
double RelativeLuminance(Rgb colour);
double ContrastRatio(Rgb first, Rgb second);
