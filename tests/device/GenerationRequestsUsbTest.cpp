// Every application request of every generation, as the virtual unit saw it
// on the wire, and the answers the generation objects make of them.
#include <gtest/gtest.h>

#include <typeindex>

#include "VirtualUnitFixture.h"
#include "config/ConfigurationImage.h"
#include "device/DeviceFactory.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "device/VantrelGenerations.h"
#include "gui/VantrelBase.h"

namespace {

class GenerationRequests : public VirtualUnitTest {};

struct GenerationRow {
    uint16_t generation;
    const std::type_info* type;
    uint16_t imageLength;
    uint8_t imageFormat;
    uint32_t reportLength;
    bool lock;
};

TEST_F(GenerationRequests, EveryRequestOfEveryGeneration)
{
    const GenerationRow rows[] = {
        {100, &typeid(Vantrel100), 196, 1, 16, false}, {101, &typeid(Vantrel101), 196, 1, 16, false},
        {102, &typeid(Vantrel102), 196, 1, 16, false}, {103, &typeid(Vantrel103), 196, 1, 16, false},
        {104, &typeid(Vantrel104), 196, 1, 16, false}, {105, &typeid(Vantrel105), 196, 1, 16, true},
        {106, &typeid(Vantrel106), 196, 1, 16, true},  {107, &typeid(Vantrel107), 212, 2, 18, true},
        {108, &typeid(Vantrel108), 212, 2, 19, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.generation);
        UnitOptions options;
        options.generation = row.generation;
        VirtualUnit& unit = Plug(options);
        const UsbDevice& record = RecordOf(unit);
        EXPECT_EQ(record.version, row.generation);  // from bcdDevice 0x01nn

        auto device = CreateApplicationDevice(record.version, record);
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(std::type_index(typeid(*device)), std::type_index(*row.type));
        ASSERT_TRUE(device->Open());
        unit.ClearRequestLog();

        VersionTriple boot, firmware;
        ASSERT_EQ(device->GetBootVersion(&boot), DEVICE_OK);
        ASSERT_EQ(device->GetFirmwareVersion(&firmware), DEVICE_OK);
        EXPECT_EQ(boot, (VersionTriple{unit.BootVersion().type, unit.BootVersion().hardware,
                                       unit.BootVersion().version}));
        EXPECT_EQ(firmware.w2, 0x0100u + row.generation - 100);

        // The unit's own image back and forth: read it, write the defaults.
        DeviceConfiguration config;
        ClearConfiguration(config);
        ASSERT_EQ(device->ReadConfiguration(&config), DEVICE_OK);
        const DeviceConfiguration written = device->GetDefaultConfiguration();
        ASSERT_EQ(device->WriteConfiguration(written), DEVICE_OK);
        ASSERT_EQ(device->SetMode(MODE_WARMUP), DEVICE_OK);
        EXPECT_EQ(unit.LastMode(), std::optional<uint16_t>(3));

        uint8_t lock = 0xAA;
        if (row.lock) {
            EXPECT_EQ(device->GetLockState(&lock), DEVICE_OK);
            EXPECT_EQ(lock, 0);
            EXPECT_EQ(device->SetLockState(LOCK_LOCKED), DEVICE_OK);
            EXPECT_EQ(unit.LockByte(), 1);
            EXPECT_EQ(device->GetLockState(&lock), DEVICE_OK);
            EXPECT_EQ(lock, 1);
        } else {
            // Not offered: -14 and nothing reaches the unit.
            const size_t before = ControlRequests(unit).size();
            EXPECT_EQ(device->GetLockState(&lock), ERROR_NOT_AVAILABLE);
            EXPECT_EQ(device->SetLockState(LOCK_LOCKED), ERROR_NOT_AVAILABLE);
            EXPECT_EQ(lock, 0xAA);
            EXPECT_EQ(ControlRequests(unit).size(), before);
        }
        EXPECT_EQ(device->GetFeature(FEATURE_LOCK), row.lock ? 1 : 0);

        const auto requests = ControlRequests(unit);
        std::vector<std::array<uint8_t, 8>> expected = {
            SetupBytes(0xC1, 0x01, 0, 0, 6),
            SetupBytes(0xC1, 0x01, 1, 0, 6),
            SetupBytes(0xC1, 0x00, 0, 0, row.imageLength),
            SetupBytes(0x41, 0x00, 0, 0, row.imageLength),
            SetupBytes(0x41, 0x03, 3, 0, 0),
        };
        if (row.lock) {
            expected.push_back(SetupBytes(0xC1, 0x04, 0, 0, 1));
            expected.push_back(SetupBytes(0x41, 0x04, 1, 0, 0));
            expected.push_back(SetupBytes(0xC1, 0x04, 0, 0, 1));
        }
        ASSERT_EQ(requests.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(SetupBytes(requests[i].setup), expected[i]) << "request " << i;
        }
        // The written image: the generation's format byte, and the unit keeps
        // exactly what was sent.
        ASSERT_EQ(requests[3].data.size(), row.imageLength);
        EXPECT_EQ(requests[3].data[0], row.imageFormat);
        EXPECT_EQ(unit.ConfigurationImage(), requests[3].data);

        // The live report: one interrupt read of the generation's length.
        unit.ClearRequestLog();
        EXPECT_EQ(device->ReadLiveData(), DEVICE_OK);
        const auto log = unit.RequestLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].kind, RequestRecord::Kind::Interrupt);
        EXPECT_EQ(log[0].endpoint, 0x81);
        EXPECT_EQ(log[0].length, row.reportLength);
        LiveRaw raw;
        raw.fill(0xEE);
        EXPECT_EQ(device->GetLiveRaw(&raw), DEVICE_OK);
        for (size_t i = row.reportLength; i < raw.size(); ++i) {
            EXPECT_EQ(raw[i], 0) << "padding byte " << i;
        }
        EXPECT_TRUE(device->Close());
        Bus().Unplug(unit);
    }
}

TEST_F(GenerationRequests, RestartRequestsOfTheApplication)
{
    UnitOptions options;
    options.generation = 106;
    VirtualUnit& unit = Plug(options);
    auto device = CreateApplicationDevice(106, RecordOf(unit));
    ASSERT_TRUE(device->Open());
    unit.ClearRequestLog();
    EXPECT_EQ(device->ActivateBootloader(), DEVICE_OK);
    auto requests = ControlRequests(unit);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0x41, 0x01, 1, 0, 0));
    ASSERT_TRUE(Bus().WaitForPersonality(unit, Personality::Bootloader));
    device.reset();

    // The unit comes back as bootloader; its connection is a bootloader one.
    VantrelBase connection(RecordOf(unit));
    EXPECT_EQ(connection.GetDeviceMode(), 1);
    EXPECT_EQ(connection.GetVersion(), 100);
    EXPECT_EQ(connection.GetPath(),
              FormatUsbPath(Bus().BusNumber(), Bus().PortNumber(unit), Bus().DeviceAddress(unit)));
}

TEST_F(GenerationRequests, ActivateApplicationFromApplicationMode)
{
    UnitOptions options;
    options.generation = 101;
    VirtualUnit& unit = Plug(options);
    auto device = CreateApplicationDevice(101, RecordOf(unit));
    ASSERT_TRUE(device->Open());
    unit.ClearRequestLog();
    EXPECT_EQ(device->ActivateApplication(), DEVICE_OK);
    const auto requests = ControlRequests(unit);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0x41, 0x01, 0, 0, 0));
}

}  // namespace
