// The image table and its lookup. The images themselves are embedded by
// FwImages.S; this file only reads their headers.
#include <cstdint>

#include "FwFile.h"

#define VANTREL_FW_IMAGE(name) extern "C" __attribute__((visibility("hidden"))) const uint8_t name[]
VANTREL_FW_IMAGE(vantrel_fw_hw0901_v0108);
VANTREL_FW_IMAGE(vantrel_fw_hw0902_v0108);
VANTREL_FW_IMAGE(vantrel_fw_hw0901_v0107);
VANTREL_FW_IMAGE(vantrel_fw_hw0902_v0107);
#undef VANTREL_FW_IMAGE

namespace {

struct ImageRow {
    const uint8_t* data;
    uint64_t size;
};

// Searched in order; the first row whose header matches wins, so the 0x0107
// rows behind their 0x0108 counterparts are never handed out. They stay in the
// table. The lengths are checked against the files when FwImages.S is built.
constexpr ImageRow kImageTable[] = {
    {vantrel_fw_hw0901_v0108, 19060},
    {vantrel_fw_hw0902_v0108, 19276},
    {vantrel_fw_hw0901_v0107, 18992},
    {vantrel_fw_hw0902_v0107, 19208},
};

// Four little-endian words at 0x100, behind the Cortex-M vector table: type,
// hardware, version and a reserved word.
constexpr uint64_t kHeaderOffset = 0x100;
constexpr uint64_t kHeaderSize = 8;

uint16_t HeaderWord(const ImageRow& row, unsigned index)
{
    const uint8_t* word = row.data + kHeaderOffset + 2 * index;
    return static_cast<uint16_t>(word[0] | (word[1] << 8));
}

}  // namespace

extern "C" int32_t GetFwFile(int32_t hardware, int32_t type, int32_t /*bootRevision*/, FwFile* out)
{
    for (const ImageRow& row : kImageTable) {
        if (row.size < kHeaderOffset + kHeaderSize) {
            continue;
        }
        // The 16-bit words are compared zero-extended, so arguments with higher
        // bits set (or negative ones) never match.
        if (int32_t{HeaderWord(row, 0)} != type || int32_t{HeaderWord(row, 1)} != hardware) {
            continue;
        }
        if (out != nullptr) {
            out->type = type;
            out->hardware = hardware;
            out->version = HeaderWord(row, 2);
            out->size = static_cast<uint32_t>(row.size);
            out->data = row.data;
        }
        return 1;
    }
    return 0;
}
