// The connection facade without a bus: the simulated connection, empty
// connections, the class chosen from a record, and the texts.
#include <gtest/gtest.h>

#include <stdexcept>
#include <typeindex>

#include "DeviceRecords.h"
#include "device/Bootloader.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "device/VantrelGenerations.h"
#include "device/VantrelSimul.h"
#include "gui/VantrelBase.h"

namespace {

// Exposes the slots so that the chosen classes can be checked.
class InspectedBase : public VantrelBase {
public:
    using VantrelBase::GetApplication;
    using VantrelBase::GetBootloader;
    using VantrelBase::SetApplication;
    using VantrelBase::SetBootloader;
    using VantrelBase::VantrelBase;
};

template <typename T>
bool Is(const T* object, const std::type_info& type)
{
    return object != nullptr && std::type_index(typeid(*object)) == std::type_index(type);
}

TEST(VersionText, DecimalVersionAsMajorAndTwoDigitMinor)
{
    EXPECT_EQ(FormatVersionText(108, 0), "1.08");
    EXPECT_EQ(FormatVersionText(100, 0), "1.00");
    EXPECT_EQ(FormatVersionText(0, 0), "0.00");
    EXPECT_EQ(FormatVersionText(1234, 0), "12.34");
    EXPECT_EQ(FormatVersionText(101, 1), "bootloader 1.01");
    EXPECT_EQ(FormatVersionText(65535, 1), "bootloader 655.35");
}

TEST(VantrelBase, SimulatedConnection)
{
    InspectedBase connection;
    EXPECT_TRUE(Is(connection.GetApplication(), typeid(VantrelSimul)));
    EXPECT_EQ(connection.GetBootloader(), nullptr);
    EXPECT_EQ(connection.GetPath(), "Simulator");
    EXPECT_EQ(connection.GetSerialNumber(), "");
    EXPECT_EQ(connection.GetVersion(), 0);
    EXPECT_EQ(connection.GetDeviceMode(), 0);
    EXPECT_EQ(connection.GetFeature(FEATURE_SIMULATED), 1);
    EXPECT_EQ(connection.GetFeature(FEATURE_WARMUP), 0);
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_TRUE(connection.Open());
    EXPECT_FALSE(connection.Open());
    EXPECT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.ReadLiveData(), 1);
    EXPECT_EQ(connection.SetMode(MODE_WARMUP), ERROR_NOT_AVAILABLE);
    Vantrel108 reference(MakeUnitRecord(108));
    EXPECT_EQ(connection.GetDefaultConfiguration(), reference.GetDefaultConfiguration());
    EXPECT_TRUE(connection.Close());
    EXPECT_FALSE(connection.IsOpen());
}

void ExpectEmpty(VantrelBase& connection)
{
    EXPECT_FALSE(connection.Open());
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_FALSE(connection.Close());
    EXPECT_EQ(connection.GetPath(), "Invalid connection path");
    EXPECT_EQ(connection.GetSerialNumber(), "Invalid serial number");
    EXPECT_EQ(connection.GetVersion(), 0);
    EXPECT_EQ(connection.GetDeviceMode(), 0);
    VersionTriple triple{7, 7, 7};
    LiveValues values;
    LiveRaw raw{};
    DeviceConfiguration config;
    ClearConfiguration(config);
    uint8_t lock = 0;
    EXPECT_EQ(connection.ReadLiveData(), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetFirmwareVersion(&triple), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetBootVersion(&triple), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(triple, (VersionTriple{7, 7, 7}));
    EXPECT_EQ(connection.GetLiveValues(&values), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetLiveRaw(&raw), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.ReadConfiguration(&config), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.WriteConfiguration(config), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.SetMode(0), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetFeature(FEATURE_LOCK), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.GetLockState(&lock), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(connection.SetLockState(1), ERROR_NOT_AVAILABLE);
    // Without an application object the defaults are the blank record.
    EXPECT_EQ(connection.GetDefaultConfiguration(), config);
}

TEST(VantrelBase, RecordOfAnotherDeviceGivesAnEmptyConnection)
{
    UsbDevice other = MakeUnitRecord(108);
    other.vendorId = 0x1234;
    InspectedBase foreign(other);
    EXPECT_EQ(foreign.GetApplication(), nullptr);
    EXPECT_EQ(foreign.GetBootloader(), nullptr);
    ExpectEmpty(foreign);

    UsbDevice sibling = MakeUnitRecord(108);
    sibling.productId = 0xE360;
    InspectedBase refused(sibling);
    EXPECT_EQ(refused.GetApplication(), nullptr);
    ExpectEmpty(refused);
}

TEST(VantrelBase, VersionWithoutAGenerationGivesAnEmptyConnection)
{
    for (uint16_t version : {2, 99, 109, 300}) {
        SCOPED_TRACE(version);
        InspectedBase connection(MakeUnitRecord(version));
        EXPECT_EQ(connection.GetApplication(), nullptr);
        ExpectEmpty(connection);
    }
    InspectedBase bootloader(MakeUnitRecord(102, 1));
    EXPECT_EQ(bootloader.GetBootloader(), nullptr);
    ExpectEmpty(bootloader);
}

TEST(VantrelBase, UnknownSubclassPropagatesFromTheConstructor)
{
    try {
        VantrelBase connection(MakeUnitRecord(108, 2));
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "unknown device subclass");
    }
}

TEST(VantrelBase, SlotsCanBeExchanged)
{
    InspectedBase connection(MakeUnitRecord(108));
    connection.SetApplication(nullptr);
    ExpectEmpty(connection);
    connection.SetBootloader(std::make_unique<Bootloader100>(MakeUnitRecord(100, 1)));
    EXPECT_EQ(connection.GetDeviceMode(), 1);
    EXPECT_EQ(connection.GetVersion(), 100);
    connection.SetBootloader(nullptr);
    connection.SetApplication(std::make_unique<Vantrel107>(MakeUnitRecord(107)));
    EXPECT_EQ(connection.GetFeature(FEATURE_GEAR_DETECTION_CHOICE), 1);
    EXPECT_EQ(connection.GetVersion(), 107);
}

}  // namespace
