// Writes the four stand-in application images that fwimages/images/ holds in
// place of the unit's real firmware, which is not in this repository.
//
//   vantrel-standin-images <output-folder>
//
// Each image has the size of the real one and the shape the tool, the unit's
// bootloader and the tests rely on: a Cortex-M vector table at offset 0 (initial
// stack pointer, reset vector, exception and interrupt vectors), the image
// header at 0x100, two tiny Thumb handlers right behind it, and filler in place
// of the program. The output is the same on every run, so the committed files
// can be checked against this program.
//
// A stand-in must never reach a real unit: its reset handler only sleeps.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct StandIn {
    const char* fileName;
    uint16_t hardware;
    uint16_t version;
    uint32_t size;
};

// Same rows, sizes and order as the library's image table.
constexpr std::array<StandIn, 4> kStandIns{{
    {"app-hw0901-v0108.bin", 0x0901, 0x0108, 19060},
    {"app-hw0902-v0108.bin", 0x0902, 0x0108, 19276},
    {"app-hw0901-v0107.bin", 0x0901, 0x0107, 18992},
    {"app-hw0902-v0107.bin", 0x0902, 0x0107, 19208},
}};

constexpr uint16_t kProductType = 3;

// The application is linked behind a 16 KiB bootloader and gets 20 KiB of SRAM.
constexpr uint32_t kFlashBase = 0x08004000;
constexpr uint32_t kStackTop = 0x20005000;

constexpr uint32_t kVectorCount = 64;  // 16 system exceptions and 48 interrupts fill 0x000-0x0FF
constexpr uint32_t kHeaderOffset = 0x100;
constexpr uint32_t kResetHandler = 0x108;    // wfi; b <wfi>
constexpr uint32_t kDefaultHandler = 0x10C;  // b .

void Put16(std::vector<uint8_t>& image, uint32_t offset, uint16_t value)
{
    image[offset] = static_cast<uint8_t>(value);
    image[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& image, uint32_t offset, uint32_t value)
{
    Put16(image, offset, static_cast<uint16_t>(value));
    Put16(image, offset + 2, static_cast<uint16_t>(value >> 16));
}

// Vectors 7-10 and 13 are reserved on Cortex-M and stay zero.
bool IsReservedVector(uint32_t index)
{
    return (index >= 7 && index <= 10) || index == 13;
}

std::vector<uint8_t> MakeImage(const StandIn& row)
{
    std::vector<uint8_t> image(row.size);

    Put32(image, 0, kStackTop);
    for (uint32_t index = 1; index < kVectorCount; ++index) {
        const uint32_t handler = index == 1 ? kResetHandler : kDefaultHandler;
        // Bit 0 set: the handlers are Thumb code.
        Put32(image, index * 4, IsReservedVector(index) ? 0 : (kFlashBase + handler) | 1);
    }

    Put16(image, kHeaderOffset + 0, kProductType);
    Put16(image, kHeaderOffset + 2, row.hardware);
    Put16(image, kHeaderOffset + 4, row.version);
    Put16(image, kHeaderOffset + 6, 0xFFFF);

    Put16(image, kResetHandler, 0xBF30);        // wfi
    Put16(image, kResetHandler + 2, 0xE7FD);    // b back to the wfi
    Put16(image, kDefaultHandler, 0xE7FE);      // b .
    Put16(image, kDefaultHandler + 2, 0xBF00);  // nop, keeps the filler word-aligned

    // Filler in place of code and data: a pseudo-random sequence seeded by the
    // row, so that no two images share their bytes and a shifted, truncated or
    // mixed-up copy shows in a byte comparison.
    uint32_t state = (uint32_t{row.hardware} << 16) | row.version;
    for (uint32_t offset = kDefaultHandler + 4; offset < row.size; ++offset) {
        state = state * 1664525u + 1013904223u;
        image[offset] = static_cast<uint8_t>(state >> 24);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output-folder>\n", argv[0]);
        return 2;
    }
    for (const StandIn& row : kStandIns) {
        const std::string path = std::string(argv[1]) + "/" + row.fileName;
        const std::vector<uint8_t> image = MakeImage(row);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
