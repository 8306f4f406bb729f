// A broken property is a finding: stop so that libFuzzer keeps the input.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

// Whether the same bytes came before (among the last few thousand), for a
// check that depends on nothing else and is costly: made once per value.
// Allocates nothing, as libFuzzer takes memory kept past an input for a leak.
inline bool SeenBefore(std::string_view bytes)
{
    static std::array<size_t, 8192> seen{};
    const size_t hash = std::hash<std::string_view>()(bytes) | 1;  // 0 is a free slot
    size_t& slot = seen[hash % seen.size()];
    const bool before = slot == hash;
    slot = hash;
    return before;
}
