// Enumeration against a virtual bus: filters, the strings read without
// opening, bus position and path text, and the decimal version.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "../emulator/BusTestSupport.h"
#include "usb/UsbDevice.h"
#include "usb/UsbVantrel.h"

namespace {

std::multiset<std::string> Serials(UsbDeviceList& list)
{
    std::multiset<std::string> serials;
    for (UsbDevice* d = list.GetFirst(); d != nullptr; d = list.GetNext()) {
        serials.insert(d->serialNumber);
    }
    return serials;
}

class EnumerationTest : public BusTest {
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        UnitOptions app;
        app.serial = "APP108";
        bus->AddUnit(app);
        UnitOptions boot;
        boot.serial = "BOOT101";
        boot.personality = Personality::Bootloader;
        boot.bootloaderVersion = 101;
        bus->AddUnit(boot);
        bus->AddSibling("SIB1");
        bus->AddOtherClassDevice("OTHER1");
        StartUsb();
    }
};

struct FilterCase {
    const char* name;
    DeviceIdFilter filter;
    std::multiset<std::string> serials;
};

TEST_F(EnumerationTest, FiltersKeepOnlyMatchingPairs)
{
    const FilterCase cases[] = {
        {"dialog", {{0xA600, 0xE361}, {0xA600, 0xE360}}, {"APP108", "BOOT101", "SIB1"}},
        {"auto-connect", {{0xA600, 0xE361}}, {"APP108", "BOOT101"}},
        {"sibling only", {{0xA600, 0xE360}}, {"SIB1"}},
        {"vendor of the unit, other product", {{0xA600, 0x0001}}, {}},
        {"empty", {}, {}},
        {"product id under another vendor", {{0x1D50, 0xE361}}, {}},
    };
    for (const FilterCase& c : cases) {
        std::unique_ptr<UsbDeviceList> list(EnumerateDevices(c.filter));
        ASSERT_NE(list, nullptr) << c.name;
        EXPECT_EQ(Serials(*list), c.serials) << c.name;
        EXPECT_EQ(list->GetCount(), static_cast<int32_t>(c.serials.size())) << c.name;
    }
    std::unique_ptr<UsbDeviceList> all(EnumerateDevices());
    EXPECT_EQ(Serials(*all), (std::multiset<std::string>{"APP108", "BOOT101", "SIB1", "OTHER1"}));
    std::unique_ptr<UsbDeviceList> pair(EnumerateDevices(0xA600, 0xE360));
    EXPECT_EQ(Serials(*pair), (std::multiset<std::string>{"SIB1"}));
}

TEST_F(EnumerationTest, EmptyListHasNoEntries)
{
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices(DeviceIdFilter{}));
    EXPECT_EQ(list->GetCount(), 0);
    EXPECT_EQ(list->GetFirst(), nullptr);
    EXPECT_EQ(list->GetNext(), nullptr);
    EXPECT_EQ(list->GetAt(0), nullptr);
}

TEST_F(EnumerationTest, CursorAndIndexWalkTheSameEntries)
{
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices());
    ASSERT_EQ(list->GetCount(), 4);
    int32_t index = 0;
    for (UsbDevice* d = list->GetFirst(); d != nullptr; d = list->GetNext(), ++index) {
        EXPECT_EQ(d, list->GetAt(index));
    }
    EXPECT_EQ(index, 4);
    EXPECT_EQ(list->GetNext(), nullptr);  // stays at the end
    EXPECT_EQ(list->GetAt(-1), nullptr);
    EXPECT_EQ(list->GetAt(4), nullptr);
    EXPECT_EQ(list->GetFirst(), list->GetAt(0));
}

TEST_F(EnumerationTest, ModesDifferOnlyInSubclassAndVersion)
{
    const Listed app = FindUnit("APP108");
    const Listed boot = FindUnit("BOOT101");
    ASSERT_TRUE(app && boot);
    EXPECT_EQ(app->deviceClass, 0xFF);
    EXPECT_EQ(boot->deviceClass, 0xFF);
    EXPECT_EQ(app->deviceSubClass, 0);
    EXPECT_EQ(boot->deviceSubClass, 1);
    EXPECT_EQ(app->version, 108);
    EXPECT_EQ(boot->version, 101);
    EXPECT_EQ(app->numConfigurations, 1);
    EXPECT_EQ(app->productName, "Vantrel Shift Assist");
    EXPECT_EQ(app->manufacturerName, "Norvane Labs");
}

TEST_F(EnumerationTest, PositionMatchesTheBusAndFormsThePath)
{
    VirtualUnit& unit = bus->UnitAt(0);
    const Listed listed = FindUnit("APP108");
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->busNumber, bus->BusNumber());
    EXPECT_EQ(listed->portNumber, bus->PortNumber(unit));
    EXPECT_EQ(listed->deviceAddress, bus->DeviceAddress(unit));
    EXPECT_EQ(
        FormatUsbPath(listed->busNumber, listed->portNumber, listed->deviceAddress),
        "USB 1:" + std::to_string(bus->PortNumber(unit)) + "." + std::to_string(bus->DeviceAddress(unit)));
}

TEST_F(EnumerationTest, EnumeratingOpensNothing)
{
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices());
    ASSERT_EQ(list->GetCount(), 4);
    // The strings came from sysfs: no device saw a single request.
    for (size_t i = 0; i < bus->UnitCount(); ++i) {
        EXPECT_TRUE(bus->UnitAt(i).RequestLog().empty()) << bus->UnitAt(i).Serial();
    }
}

TEST(PathText, FormatsBusPortAndAddress)
{
    EXPECT_EQ(FormatUsbPath(1, 3, 7), "USB 1:3.7");
    EXPECT_EQ(FormatUsbPath(255, 0, 127), "USB 255:0.127");
}

TEST(BcdVersion, CountsEveryNibbleAtItsPlace)
{
    const std::pair<uint16_t, uint16_t> cases[] = {
        {0x0108, 108}, {0x0101, 101}, {0x0000, 0}, {0x01A0, 200}, {0x1234, 1234}, {0xFFFF, 16665},
    };
    for (const auto& [bcd, decimal] : cases) {
        EXPECT_EQ(DecodeBcdVersion(bcd), decimal) << std::hex << bcd;
    }
}

class StringsTest : public BusTest {};

TEST_F(StringsTest, MissingIndicesLeaveFieldsEmpty)
{
    bus->AddNoSerialDevice();
    UnitOptions bare;
    bare.serial = "BARE";
    bare.hasProductString = false;
    bare.hasManufacturerString = false;
    bus->AddUnit(bare);
    UnitOptions zero;
    zero.serial = "ZERO";
    zero.bcdDeviceOverride = 0x0000;
    bus->AddUnit(zero);
    UnitOptions hex;
    hex.serial = "HEXA";
    hex.bcdDeviceOverride = 0x01A0;
    bus->AddUnit(hex);
    StartUsb();

    auto list = Units();
    ASSERT_EQ(list->GetCount(), 4);
    int seen = 0;
    for (UsbDevice* d = list->GetFirst(); d != nullptr; d = list->GetNext()) {
        if (d->serialNumber.empty()) {
            EXPECT_EQ(d->productName, "Vantrel Shift Assist");
            ++seen;
        } else if (d->serialNumber == "BARE") {
            EXPECT_EQ(d->productName, "");
            EXPECT_EQ(d->manufacturerName, "");
            ++seen;
        } else if (d->serialNumber == "ZERO") {
            EXPECT_EQ(d->version, 0);
            ++seen;
        } else if (d->serialNumber == "HEXA") {
            EXPECT_EQ(d->version, 200);
            ++seen;
        }
    }
    EXPECT_EQ(seen, 4);
}

TEST_F(StringsTest, ListKeepsItsDevicesAfterTheyLeave)
{
    VirtualUnit& unit = bus->AddUnit();
    StartUsb();
    auto list = Units();
    ASSERT_EQ(list->GetCount(), 1);
    bus->Unplug(unit);
    ASSERT_TRUE(WaitUntil([] { return Units()->GetCount() == 0; }));
    // The list's own reference keeps the record's device valid.
    UsbVantrel device(*list->GetFirst());
    EXPECT_FALSE(device.Open());
    EXPECT_LT(device.GetLastError(), 0);
    EXPECT_EQ(list->GetFirst()->serialNumber, "VT000001");
}

}  // namespace
