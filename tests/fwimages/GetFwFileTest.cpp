// GetFwFile hands out the newest image for the two hardware variants of product
// type 3 and nothing for anything else.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "FwFile.h"

namespace {

FwFile Sentinel()
{
    FwFile file;
    std::memset(&file, 0xA5, sizeof file);
    return file;
}

uint16_t Word(const uint8_t* image, unsigned offset)
{
    return static_cast<uint16_t>(image[offset] | (image[offset + 1] << 8));
}

struct KnownUnit {
    int32_t hardware;
    uint32_t version;
    uint32_t size;
};

// Worked out from the image table: the 0x0108 rows come first and win.
constexpr KnownUnit kKnownUnits[] = {
    {0x0901, 0x0108, 19060},
    {0x0902, 0x0108, 19276},
};

TEST(GetFwFile, FindsTheNewestImageForEachHardwareVariantWhateverTheBootRevision)
{
    for (const KnownUnit& unit : kKnownUnits) {
        for (int32_t bootRevision : {0, 1, 0x0107, 0xFFFF, -1, INT32_MIN, INT32_MAX}) {
            SCOPED_TRACE(testing::Message()
                         << std::hex << "hardware 0x" << unit.hardware << " boot 0x" << bootRevision);
            FwFile file = Sentinel();
            ASSERT_EQ(GetFwFile(unit.hardware, 3, bootRevision, &file), 1);
            EXPECT_EQ(file.type, 3);
            EXPECT_EQ(file.hardware, unit.hardware);
            EXPECT_EQ(file.version, unit.version);
            EXPECT_EQ(file.size, unit.size);
            ASSERT_NE(file.data, nullptr);
            // The pointer is to the image's first byte, so its header sits at 0x100.
            EXPECT_EQ(Word(file.data, 0x100), 3);
            EXPECT_EQ(Word(file.data, 0x102), unit.hardware);
            EXPECT_EQ(Word(file.data, 0x104), unit.version);
            EXPECT_EQ(Word(file.data, 0x106), 0xFFFF);
        }
    }
}

TEST(GetFwFile, AnswersANullRecordWithoutWritingAnything)
{
    EXPECT_EQ(GetFwFile(0x0901, 3, 0, nullptr), 1);
    EXPECT_EQ(GetFwFile(0x0902, 3, 0, nullptr), 1);
    EXPECT_EQ(GetFwFile(0x0903, 3, 0, nullptr), 0);
}

TEST(GetFwFile, LeavesTheRecordAloneForUnknownUnits)
{
    struct Query {
        int32_t hardware;
        int32_t type;
    };
    const Query unknown[] = {
        {0x0901, 2},
        {0x0903, 3},
        {0x0900, 3},
        {0x0901, 0},
        {0, 0},
        {3, 0x0901},  // the two words swapped
        // Bits above the 16-bit header words never match.
        {0x10901, 3},
        {0x0901, 0x10003},
        {static_cast<int32_t>(0xFFFF0901), 3},
        {0x0901, static_cast<int32_t>(0xFFFF0003)},
        {-1, -1},
        {0xFFFF, 0xFFFF},
    };
    for (const Query& query : unknown) {
        SCOPED_TRACE(testing::Message()
                     << std::hex << "hardware 0x" << query.hardware << " type 0x" << query.type);
        FwFile file = Sentinel();
        const FwFile before = file;
        EXPECT_EQ(GetFwFile(query.hardware, query.type, 0, &file), 0);
        EXPECT_EQ(std::memcmp(&file, &before, sizeof file), 0);
    }
}

// Every 16-bit hardware word with the small types: only the two known pairs
// match, and the older 0x0107 images never come out.
TEST(GetFwFile, MatchesOnlyTheTwoKnownPairsAndNeverTheOlderImages)
{
    int found = 0;
    for (int32_t type = 0; type < 8; ++type) {
        for (int32_t hardware = 0; hardware <= 0xFFFF; ++hardware) {
            FwFile file = Sentinel();
            if (GetFwFile(hardware, type, 0, &file) == 0) {
                continue;
            }
            ++found;
            EXPECT_EQ(type, 3);
            EXPECT_TRUE(hardware == 0x0901 || hardware == 0x0902) << std::hex << hardware;
            EXPECT_NE(file.version, 0x0107u);
        }
    }
    EXPECT_EQ(found, 2);
}

}  // namespace
