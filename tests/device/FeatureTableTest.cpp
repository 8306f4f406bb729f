// The capability table per generation, as the windows query it.
#include <gtest/gtest.h>

#include <array>

#include "DeviceRecords.h"
#include "device/DeviceFactory.h"
#include "device/Features.h"

namespace {

struct FeatureRow {
    uint16_t version;                // 0: the simulated device
    std::array<int32_t, 10> values;  // ids 0 .. 9
};

TEST(Features, EveryGenerationAnswersItsColumn)
{
    //                      ids:  0   1   2   3  4  5  6  7  8  9
    const FeatureRow rows[] = {
        {100, {16, 5, 16, 5, 0, 0, 0, 0, 0, 0}}, {101, {16, 5, 16, 5, 0, 0, 0, 0, 0, 0}},
        {102, {16, 5, 16, 5, 1, 0, 0, 0, 0, 0}}, {103, {16, 5, 16, 5, 1, 0, 0, 0, 0, 0}},
        {104, {16, 5, 16, 5, 1, 0, 1, 0, 0, 0}}, {105, {16, 5, 16, 5, 1, 0, 1, 1, 0, 0}},
        {106, {16, 5, 16, 5, 1, 0, 1, 1, 0, 0}}, {107, {16, 5, 16, 5, 1, 0, 1, 1, 1, 0}},
        {108, {16, 5, 16, 5, 1, 0, 1, 1, 1, 1}}, {0, {16, 5, 16, 5, 0, 1, 1, 1, 1, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.version);
        const auto device = CreateApplicationDevice(row.version, MakeUnitRecord(row.version));
        ASSERT_NE(device, nullptr);
        for (uint32_t id = 0; id < row.values.size(); ++id) {
            EXPECT_EQ(device->GetFeature(id), row.values[id]) << "feature " << id;
        }
        // Ids beyond the table are not capabilities of any generation.
        EXPECT_EQ(device->GetFeature(10), 0);
        EXPECT_EQ(device->GetFeature(0xFFFFFFFFu), 0);
    }
}

}  // namespace
