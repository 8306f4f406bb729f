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

TEST(DeviceFactory, GenerationObjectsCarryACopyOfTheRecord)
{
    const UsbDevice record = MakeUnitRecord(105, 0, "VT777");
    const auto device = CreateApplicationDevice(105, record);
    const auto* usb = dynamic_cast<const UsbVantrel*>(device.get());
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->serialNumber, "VT777");
    EXPECT_EQ(usb->GetVersion(), 105);
    EXPECT_EQ(usb->GetDeviceMode(), 0);
    const auto* v100 = dynamic_cast<const Vantrel100*>(device.get());
    ASSERT_NE(v100, nullptr);
    EXPECT_EQ(v100->GetTimeout(), 100u);
    EXPECT_FALSE(v100->IsLiveValid());
}

TEST(DeviceFactory, RecordModeRejectsUnknownSubclass)
{
    EXPECT_EQ(GetRecordDeviceMode(MakeUnitRecord(108, 0)), 0);
    EXPECT_EQ(GetRecordDeviceMode(MakeUnitRecord(101, 1)), 1);
    EXPECT_THROW(GetRecordDeviceMode(MakeUnitRecord(108, 2)), std::runtime_error);
}

}  // namespace
