// The three 16-bit version words the unit reports, held widened to 32 bits.
#pragma once

#include <cstdint>
#include <span>

struct VersionTriple {
    // Boot version: product type, hardware variant, a displayed third word.
    // Firmware version: type, hardware, version; 0xFFFF in a word means that
    // no valid application is present.
    uint32_t w0 = 0;
    uint32_t w1 = 0;
    uint32_t w2 = 0;

    friend bool operator==(const VersionTriple&, const VersionTriple&) = default;
};

// A word equal to this marks a missing application.
inline constexpr uint32_t VERSION_WORD_INVALID = 0xFFFF;

// Unpacks the 6-byte little-endian payload. Fewer than 6 bytes: false and the
// triple is left as it was.
bool ParseVersionTriple(std::span<const uint8_t> payload, VersionTriple& triple);
