// The virtual unit's answers, through the real libusb, checked against the
// request tables of the unit: per generation the image length, report length
// and lock support, and the requests each personality refuses.
#include <gtest/gtest.h>

#include <libusb.h>

#include <array>

#include "BusTestSupport.h"
#include "usb/UsbVantrel.h"

namespace {

struct GenerationRow {
    uint16_t generation;
    uint16_t imageLength;
    int32_t reportLength;
    bool lock;
};

// Worked out from the generation table: 196/212 bytes, 16/18/19 bytes, lock from 105.
constexpr GenerationRow GENERATIONS[] = {
    {100, 196, 16, false}, {101, 196, 16, false}, {102, 196, 16, false},
    {103, 196, 16, false}, {104, 196, 16, false}, {105, 196, 16, true},
    {106, 196, 16, true},  {107, 212, 18, true},  {108, 212, 19, true},
};

class UnitRequestTest : public BusTest {
protected:
    void TearDown() override
    {
        opened.clear();
        holders.clear();
        BusTest::TearDown();
    }

    UsbVantrel& Open(const std::string& serial)
    {
        holders.push_back(FindUnit(serial));
        EXPECT_TRUE(holders.back()) << serial;
        opened.push_back(std::make_unique<UsbVantrel>(*holders.back()));
        EXPECT_TRUE(opened.back()->Open()) << serial;
        return *opened.back();
    }

    std::vector<Listed> holders;
    std::vector<std::unique_ptr<UsbVantrel>> opened;
};

TEST_F(UnitRequestTest, EveryGenerationAnswersWithItsLengths)
{
    for (const GenerationRow& row : GENERATIONS) {
        UnitOptions options;
        options.generation = row.generation;
        options.serial = "GEN" + std::to_string(row.generation);
        bus->AddUnit(options);
    }
    StartUsb();
    for (const GenerationRow& row : GENERATIONS) {
        SCOPED_TRACE(row.generation);
        const std::string serial = "GEN" + std::to_string(row.generation);
        VirtualUnit* unit = nullptr;
        for (size_t i = 0; i < bus->UnitCount(); ++i) {
            if (bus->UnitAt(i).Serial() == serial) {
                unit = &bus->UnitAt(i);
            }
        }
        ASSERT_NE(unit, nullptr);
        UsbVantrel& device = Open(serial);
        EXPECT_EQ(device.GetVersion(), row.generation);
        EXPECT_EQ(device.GetDeviceMode(), DEVICE_MODE_APPLICATION);

        std::vector<uint8_t> image(256, 0);
        const UsbSetupPacket read{0xC1, 0x00, 0, 0, 256};
        ASSERT_EQ(device.ControlTransferIn(read, image.data(), 100), row.imageLength);
        EXPECT_EQ(image[0], row.imageLength == 196 ? 1 : 2);

        std::vector<uint8_t> written(row.imageLength, 0x5A);
        const UsbSetupPacket write{0x41, 0x00, 0, 0, row.imageLength};
        EXPECT_EQ(device.ControlTransferOut(write, written.data(), 100), row.imageLength);
        EXPECT_EQ(unit->ConfigurationImage(), written);
        // The other generation's length is refused and changes nothing.
        const uint16_t wrong = row.imageLength == 196 ? 212 : 196;
        std::vector<uint8_t> other(wrong, 0x11);
        const UsbSetupPacket writeWrong{0x41, 0x00, 0, 0, wrong};
        EXPECT_EQ(device.ControlTransferOut(writeWrong, other.data(), 100), LIBUSB_ERROR_PIPE);
        EXPECT_EQ(unit->ConfigurationImage(), written);

        std::vector<uint8_t> report(64);
        EXPECT_EQ(device.InterruptTransfer(0x81, report.data(), 64, 100), row.reportLength);
        // A buffer too small for the report is babble, as on the wire.
        EXPECT_EQ(device.InterruptTransfer(0x81, report.data(), row.reportLength - 1, 100),
                  LIBUSB_ERROR_OVERFLOW);

        std::array<uint8_t, 6> words{};
        const UsbSetupPacket boot{0xC1, 0x01, 0, 0, 6};
        const UsbSetupPacket firmware{0xC1, 0x01, 1, 0, 6};
        ASSERT_EQ(device.ControlTransferIn(firmware, words.data(), 100), 6);
        const uint16_t bcd = static_cast<uint16_t>(
            ((row.generation / 100) << 8) | (((row.generation / 10) % 10) << 4) | (row.generation % 10));
        EXPECT_EQ(words, (std::array<uint8_t, 6>{3, 0, 0x01, 0x09, static_cast<uint8_t>(bcd & 0xFF),
                                                 static_cast<uint8_t>(bcd >> 8)}));
        ASSERT_EQ(device.ControlTransferIn(boot, words.data(), 100), 6);
        EXPECT_EQ(words, (std::array<uint8_t, 6>{3, 0, 0x01, 0x09, 0x00, 0x01}));

        uint8_t lock = 0xEE;
        const UsbSetupPacket getLock{0xC1, 0x04, 0, 0, 1};
        const UsbSetupPacket setLock{0x41, 0x04, 1, 0, 0};
        if (row.lock) {
            EXPECT_EQ(device.ControlTransferIn(getLock, &lock, 100), 1);
            EXPECT_EQ(lock, 0);
            EXPECT_EQ(device.ControlTransferOut(setLock, nullptr, 100), 0);
            EXPECT_EQ(unit->LockByte(), 1);
            EXPECT_EQ(device.ControlTransferIn(getLock, &lock, 100), 1);
            EXPECT_EQ(lock, 1);
            // A locked unit keeps its configuration to itself.
            EXPECT_EQ(device.ControlTransferIn(read, image.data(), 100), LIBUSB_ERROR_PIPE);
        } else {
            EXPECT_EQ(device.ControlTransferIn(getLock, &lock, 100), LIBUSB_ERROR_PIPE);
            EXPECT_EQ(device.ControlTransferOut(setLock, nullptr, 100), LIBUSB_ERROR_PIPE);
            EXPECT_EQ(lock, 0xEE);
            EXPECT_EQ(unit->LockByte(), 0);
        }
    }
}

// usbfs gives interface 0 to one open handle at a time: a second one can
// neither configure the unit, claim the interface nor use it, until the first
// releases it or is closed.
TEST_F(UnitRequestTest, InterfaceZeroBelongsToOneHandleAtATime)
{
    VirtualUnit& unit = bus->AddUnit();
    StartUsb();
    UsbVantrel& first = Open(unit.Serial());
    UsbVantrel second(*holders.back());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.GetLastError(), LIBUSB_ERROR_BUSY);
    EXPECT_FALSE(second.IsOpen());

    libusb_device_handle* other = nullptr;
    ASSERT_EQ(libusb_open(holders.back()->libusbDevice, &other), 0);
    EXPECT_EQ(libusb_claim_interface(other, 0), LIBUSB_ERROR_BUSY);
    std::array<uint8_t, 19> report{};
    int got = 0;
    EXPECT_EQ(libusb_interrupt_transfer(other, 0x81, report.data(), 19, &got, 100), LIBUSB_ERROR_IO);
    EXPECT_EQ(libusb_control_transfer(other, 0xC1, 0x01, 1, 0, report.data(), 6, 100), LIBUSB_ERROR_IO);
    // Requests to the device itself need no interface.
    EXPECT_EQ(libusb_control_transfer(other, 0x80, 0x06, 0x0100, 0, report.data(), 18, 100), 18);

    EXPECT_EQ(libusb_release_interface(first.handle, 0), 0);
    EXPECT_EQ(libusb_claim_interface(other, 0), 0);
    EXPECT_EQ(first.InterruptTransfer(0x81, report.data(), 19, 100), LIBUSB_ERROR_IO);
    libusb_close(other);  // closing ends the claim
    EXPECT_EQ(first.InterruptTransfer(0x81, report.data(), 19, 100), 19);
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Open());
}

TEST_F(UnitRequestTest, ModeRequestsAreCountedAndKept)
{
    VirtualUnit& unit = bus->AddUnit();
    StartUsb();
    UsbVantrel& device = Open(unit.Serial());
    EXPECT_FALSE(unit.LastMode().has_value());
    for (const uint16_t mode : {3, 0, 2}) {
        const UsbSetupPacket setMode{0x41, 0x03, mode, 0, 0};
        EXPECT_EQ(device.ControlTransferOut(setMode, nullptr, 100), 0);
    }
    EXPECT_EQ(unit.LastMode(), 2);
    EXPECT_EQ(unit.ModeRequestCount(), 3u);
    const auto times = unit.ModeRequestTimes();
    ASSERT_EQ(times.size(), 3u);
    EXPECT_LE(times[0], times[1]);
    EXPECT_LE(times[1], times[2]);
}

TEST_F(UnitRequestTest, RequestsOutsideTheTableStall)
{
    VirtualUnit& unit = bus->AddUnit();
    UnitOptions boot;
    boot.serial = "BOOT";
    boot.personality = Personality::Bootloader;
    VirtualUnit& loader = bus->AddUnit(boot);
    StartUsb();
    UsbVantrel& app = Open(unit.Serial());
    UsbVantrel& bl = Open(loader.Serial());
    std::array<uint8_t, 256> buffer{};  // room for the longest wLength below
    struct Refused {
        const char* what;
        UsbVantrel* device;
        UsbSetupPacket setup;
    };
    const Refused cases[] = {
        {"flash request in the application", &app, {0x41, 0x02, 0, 0, 0}},
        {"unknown request", &app, {0xC1, 0x07, 0, 0, 4}},
        {"version word 2", &app, {0xC1, 0x01, 2, 0, 6}},
        {"restart word 2", &app, {0x41, 0x01, 2, 0, 0}},
        {"mode read", &app, {0xC1, 0x03, 0, 0, 1}},
        {"recipient device", &app, {0xC0, 0x01, 1, 0, 6}},
        {"interface 1", &app, {0xC1, 0x01, 1, 1, 6}},
        {"configuration in the bootloader", &bl, {0xC1, 0x00, 0, 0, 196}},
        {"mode in the bootloader", &bl, {0x41, 0x03, 3, 0, 0}},
        {"lock in the bootloader", &bl, {0xC1, 0x04, 0, 0, 1}},
        {"block beyond the flash", &bl, {0x41, 0x02, 0xC000 / 64, 0, 64}},
        {"block longer than 64 bytes", &bl, {0x41, 0x02, 4, 0, 65}},
    };
    for (const Refused& c : cases) {
        const bool in = (c.setup.bmRequestType & 0x80) != 0;
        const int32_t result = in ? c.device->ControlTransferIn(c.setup, buffer.data(), 100)
                                  : c.device->ControlTransferOut(c.setup, buffer.data(), 100);
        EXPECT_EQ(result, LIBUSB_ERROR_PIPE) << c.what;
    }
    EXPECT_TRUE(loader.FlashLog().empty());
    EXPECT_FALSE(unit.LastMode().has_value());
    // The refusals stop nothing: both still answer.
    const UsbSetupPacket version{0xC1, 0x01, 0, 0, 6};
    EXPECT_EQ(app.ControlTransferIn(version, buffer.data(), 100), 6);
    EXPECT_EQ(bl.ControlTransferIn(version, buffer.data(), 100), 6);
}

TEST_F(UnitRequestTest, ShortVersionReadDeliversWhatWasAsked)
{
    VirtualUnit& unit = bus->AddUnit();
    StartUsb();
    UsbVantrel& device = Open(unit.Serial());
    std::array<uint8_t, 8> words{};
    const UsbSetupPacket five{0xC1, 0x01, 1, 0, 5};
    EXPECT_EQ(device.ControlTransferIn(five, words.data(), 100), 5);
    const UsbSetupPacket eight{0xC1, 0x01, 1, 0, 8};
    EXPECT_EQ(device.ControlTransferIn(eight, words.data(), 100), 6);
}

TEST_F(UnitRequestTest, ForeignDevicesRefuseTheUnitsRequests)
{
    bus->AddSibling("SIB");
    VirtualUnit& other = bus->AddOtherClassDevice("OTHER");
    StartUsb();
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices(0x1D50, 0x6018));
    ASSERT_EQ(list->GetCount(), 1);
    UsbDevice device(*list->GetFirst());
    ASSERT_TRUE(device.Open());
    std::array<uint8_t, 6> words{};
    const UsbSetupPacket version{0xC1, 0x01, 1, 0, 6};
    EXPECT_EQ(device.ControlTransferIn(version, words.data(), 100), LIBUSB_ERROR_PIPE);
    EXPECT_EQ(other.RequestLog().size(), 1u);
    EXPECT_TRUE(device.Close());
}

}  // namespace
