// Which device class a unit gets from the version it reports.
#include <gtest/gtest.h>

#include <typeindex>
#include <typeinfo>

#include "DeviceRecords.h"
#include "device/Bootloader.h"
#include "device/DeviceFactory.h"
#include "device/VantrelGenerations.h"
#include "device/VantrelSimul.h"

namespace {

struct ApplicationChoice {
    uint16_t version;
    const std::type_info* type;  // null: no object
};

TEST(DeviceFactory, ApplicationClassFollowsTheVersion)
{
    const ApplicationChoice cases[] = {
        {0, &typeid(VantrelSimul)},
        {1, &typeid(Vantrel100)},
        {2, nullptr},
        {99, nullptr},
        {100, &typeid(Vantrel100)},
        {101, &typeid(Vantrel101)},
        {102, &typeid(Vantrel102)},
        {103, &typeid(Vantrel103)},
        {104, &typeid(Vantrel104)},
        {105, &typeid(Vantrel105)},
        {106, &typeid(Vantrel106)},
        {107, &typeid(Vantrel107)},
        {108, &typeid(Vantrel108)},
        {109, nullptr},
        {200, nullptr},
        {0xFFFF, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        const auto device = CreateApplicationDevice(c.version, MakeUnitRecord(c.version));
        if (c.type == nullptr) {
            EXPECT_EQ(device, nullptr);
            continue;
        }
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(std::type_index(typeid(*device)), std::type_index(*c.type));
        EXPECT_FALSE(device->IsOpen());
    }
}

TEST(DeviceFactory, BootloaderClassFollowsTheVersion)
{
    const ApplicationChoice cases[] = {
        {0, nullptr},
        {1, &typeid(Bootloader100)},
        {100, &typeid(Bootloader100)},
        {101, &typeid(Bootloader101)},
        {102, nullptr},
        {108, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        const auto device = CreateBootloaderDevice(c.version, MakeUnitRecord(c.version, 1));
        if (c.type == nullptr) {
            EXPECT_EQ(device, nullptr);
            continue;
        }
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(std::type_index(typeid(*device)), std::type_index(*c.type));
        EXPECT_EQ(device->GetBlockSize(), 64u);
        EXPECT_EQ(device->GetHeadSize(), 256u);
    }
}

}  // namespace
