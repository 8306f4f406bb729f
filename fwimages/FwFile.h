// The one entry point of the firmware image library Vantrel, and the record it
// fills. The record crosses from the library into the program, so its layout is
// fixed and checked here at compile time on both sides.
#pragma once

#include <cstddef>
#include <cstdint>

// The library is built with hidden visibility; this is its only exported name.
#define VANTREL_FW_API __attribute__((visibility("default")))

// One firmware image handed out by GetFwFile.
struct FwFile {
    int32_t type;         // the type asked for
    int32_t hardware;     // the hardware variant asked for
    uint32_t version;     // the image's firmware version
    uint32_t size;        // the image's length in bytes
    const uint8_t* data;  // the image's first byte; owned by the library, valid while it is loaded
};

static_assert(offsetof(FwFile, type) == 0);
static_assert(offsetof(FwFile, hardware) == 4);
static_assert(offsetof(FwFile, version) == 8);
static_assert(offsetof(FwFile, size) == 12);
static_assert(offsetof(FwFile, data) == 16);
static_assert(sizeof(void*) != 8 || sizeof(FwFile) == 24);

extern "C" {

// Finds the newest image for a unit of the given product type and hardware
// variant. Returns 1 and fills *out (when out is not null) if there is one;
// returns 0 and leaves *out alone otherwise. bootRevision is accepted for the
// caller's convenience and not used. Reads constant data only: safe from any
// thread.
VANTREL_FW_API int32_t GetFwFile(int32_t hardware, int32_t type, int32_t bootRevision, FwFile* out);
}
