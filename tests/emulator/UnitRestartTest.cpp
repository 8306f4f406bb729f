// Restarts between the two personalities, and the bootloader's flash: the
// unit leaves the bus and comes back with the same serial number at a new
// address; after a flash it runs what was written, if it is complete.
#include <gtest/gtest.h>

#include <libusb.h>

#include <array>

#include "BusTestSupport.h"
#include "usb/UsbVantrel.h"

namespace {

constexpr UsbSetupPacket ACTIVATE_BOOTLOADER{0x41, 0x01, 1, 0, 0};
constexpr UsbSetupPacket ACTIVATE_APPLICATION{0x41, 0x01, 0, 0, 0};
constexpr UsbSetupPacket FIRMWARE_VERSION{0xC1, 0x01, 1, 0, 6};
constexpr UsbSetupPacket ERASE{0x41, 0x02, 0, 0, 0};

// An application image of `size` bytes with its header at 0x100.
std::vector<uint8_t> Image(size_t size, uint16_t type, uint16_t hardware, uint16_t version)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) {
        image[i] = static_cast<uint8_t>((i * 13 + 1) & 0xFF);
    }
    const uint16_t header[4] = {type, hardware, version, 0xFFFF};
    for (size_t w = 0; w < 4; ++w) {
        image[0x100 + 2 * w] = static_cast<uint8_t>(header[w] & 0xFF);
        image[0x100 + 2 * w + 1] = static_cast<uint8_t>(header[w] >> 8);
    }
    return image;
}

class RestartTest : public BusTest {
protected:
    void TearDown() override
    {
        device.reset();
        holder = Listed{};
        BusTest::TearDown();
    }

    // Opens the unit at its current address (waits for libusb to list it).
    UsbVantrel& Connect(const VirtualUnit& unit)
    {
        device.reset();
        holder = Listed{};
        EXPECT_TRUE(WaitListed(unit));
        holder = FindUnit(unit.Serial(), bus->DeviceAddress(unit));
        EXPECT_TRUE(holder);
        device = std::make_unique<UsbVantrel>(*holder);
        EXPECT_TRUE(device->Open());
        return *device;
    }

    int32_t Write(UsbVantrel& loader, uint32_t address, const std::vector<uint8_t>& image)
    {
        std::array<uint8_t, 64> block{};
        block.fill(0xFF);
        for (size_t i = 0; i < 64 && address + i < image.size(); ++i) {
            block[i] = image[address + i];
        }
        const UsbSetupPacket write{0x41, 0x02, static_cast<uint16_t>(address / 64), 0, 64};
        return loader.ControlTransferOut(write, block.data(), 64);
    }

    // The update's order: erase, body blocks from 256 on, then the head.
    void Flash(UsbVantrel& loader, const std::vector<uint8_t>& image, bool headLast = true)
    {
        ASSERT_EQ(loader.ControlTransferOut(ERASE, nullptr, 100), 0);
        std::vector<uint32_t> order;
        for (uint32_t a = 256; a < image.size(); a += 64) {
            order.push_back(a);
        }
        for (uint32_t a = 0; a < 256; a += 64) {
            if (headLast) {
                order.push_back(a);
            } else {
                order.insert(order.begin() + a / 64, a);
            }
        }
        for (const uint32_t a : order) {
            ASSERT_EQ(Write(loader, a, image), 64) << a;
        }
    }

    Listed holder;
    std::unique_ptr<UsbVantrel> device;
};

TEST_F(RestartTest, ApplicationRestartsIntoBootloaderAndBack)
{
    UnitOptions options;
    options.bootloaderVersion = 101;
    options.restartDelay = std::chrono::milliseconds(150);
    VirtualUnit& unit = bus->AddUnit(options);
    StartUsb();
    UsbVantrel& app = Connect(unit);
    const uint8_t firstAddress = app.deviceAddress;

    const auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(app.ControlTransferOut(ACTIVATE_BOOTLOADER, nullptr, 100), 0);
    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, options.restartDelay);
    // The old handle now talks to nobody.
    std::array<uint8_t, 6> words{};
    EXPECT_EQ(app.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), LIBUSB_ERROR_NO_DEVICE);

    UsbVantrel& loader = Connect(unit);
    EXPECT_NE(loader.deviceAddress, firstAddress);
    EXPECT_EQ(loader.serialNumber, "VT000001");
    EXPECT_EQ(loader.GetDeviceMode(), DEVICE_MODE_BOOTLOADER);
    EXPECT_EQ(loader.GetVersion(), 101);
    // Its flash still holds the application it came from.
    ASSERT_EQ(loader.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
    EXPECT_EQ(words, (std::array<uint8_t, 6>{3, 0, 0x01, 0x09, 0x08, 0x01}));

    ASSERT_EQ(loader.ControlTransferOut(ACTIVATE_APPLICATION, nullptr, 100), 0);
    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Application));
    UsbVantrel& again = Connect(unit);
    EXPECT_EQ(again.GetVersion(), 108);
    EXPECT_EQ(unit.RestartCount(), 2u);
    EXPECT_EQ(bus->ArrivalCount(unit), 3u);
}

TEST_F(RestartTest, FlashedImageComesBackWithItsHeaderVersion)
{
    UnitOptions options;
    options.generation = 105;
    VirtualUnit& unit = bus->AddUnit(options);
    StartUsb();
    ASSERT_EQ(Connect(unit).ControlTransferOut(ACTIVATE_BOOTLOADER, nullptr, 100), 0);
    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader));
    UsbVantrel& loader = Connect(unit);

    const std::vector<uint8_t> image = Image(19060, 3, 0x0901, 0x0107);
    ASSERT_EQ(loader.ControlTransferOut(ERASE, nullptr, 100), 0);
    std::array<uint8_t, 6> words{};
    ASSERT_EQ(loader.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
    EXPECT_EQ(words, (std::array<uint8_t, 6>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    Flash(loader, image);
    ASSERT_EQ(loader.ControlTransferIn(FIRMWARE_VERSION, words.data(), 100), 6);
    EXPECT_EQ(words, (std::array<uint8_t, 6>{3, 0, 0x01, 0x09, 0x07, 0x01}));

    // Two erases, then 298 writes: offsets 256 .. 19008, then 0, 64, 128, 192.
    const auto log = unit.FlashLog();
    ASSERT_EQ(log.size(), 2u + 298u);
    EXPECT_EQ(log[0].kind, FlashOperation::Kind::Erase);
    EXPECT_EQ(log[1].kind, FlashOperation::Kind::Erase);
    EXPECT_EQ(log[2].kind, FlashOperation::Kind::Write);
    EXPECT_EQ(log[2].address, 256u);
    EXPECT_EQ(log[295].address, 19008u);
    EXPECT_EQ(log[296].address, 0u);
    EXPECT_EQ(log[299].address, 192u);
    EXPECT_EQ(log[299].length, 64u);
    const std::vector<uint8_t> flash = unit.Flash();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
    EXPECT_EQ(flash[19060], 0xFF);  // padding of the last block

    ASSERT_EQ(loader.ControlTransferOut(ACTIVATE_APPLICATION, nullptr, 100), 0);
    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Application));
    UsbVantrel& app = Connect(unit);
    EXPECT_EQ(app.GetVersion(), 107);
    EXPECT_EQ(unit.Generation(), 107);
    // Generation 107 has the 212-byte image and the 18-byte report.
    std::vector<uint8_t> buffer(256);
    const UsbSetupPacket read{0xC1, 0x00, 0, 0, 256};
    EXPECT_EQ(app.ControlTransferIn(read, buffer.data(), 100), 212);
    EXPECT_EQ(app.InterruptTransfer(0x81, buffer.data(), 64, 100), 18);
}

struct BadFlash {
    const char* name;
    std::vector<uint8_t> image;
    bool headLast;
    bool skipOneBlock;
};

TEST_F(RestartTest, IncompleteFlashStaysInBootloader)
{
    const BadFlash cases[] = {
        {"head written first", Image(2048, 3, 0x0901, 0x0108), false, false},
        {"a block missing", Image(2048, 3, 0x0901, 0x0108), true, true},
        {"wrong product type", Image(2048, 2, 0x0901, 0x0108), true, false},
        {"erased header", Image(2048, 0xFFFF, 0xFFFF, 0xFFFF), true, false},
    };
    UnitOptions options;
    options.personality = Personality::Bootloader;
    options.restartDelay = std::chrono::milliseconds(50);
    VirtualUnit& unit = bus->AddUnit(options);
    StartUsb();
    for (const BadFlash& c : cases) {
        SCOPED_TRACE(c.name);
        UsbVantrel& loader = Connect(unit);
        if (c.skipOneBlock) {
            ASSERT_EQ(loader.ControlTransferOut(ERASE, nullptr, 100), 0);
            for (uint32_t a = 256; a < c.image.size(); a += 64) {
                if (a != 1024) {
                    ASSERT_EQ(Write(loader, a, c.image), 64);
                }
            }
            for (uint32_t a = 0; a < 256; a += 64) {
                ASSERT_EQ(Write(loader, a, c.image), 64);
            }
        } else {
            Flash(loader, c.image, c.headLast);
        }
        EXPECT_FALSE(unit.HasValidApplication());
        const uint32_t restarts = unit.RestartCount();
        ASSERT_EQ(loader.ControlTransferOut(ACTIVATE_APPLICATION, nullptr, 100), 0);
        ASSERT_TRUE(WaitUntil([&] { return unit.RestartCount() == restarts + 1; }));
        ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader));
        EXPECT_EQ(unit.CurrentPersonality(), Personality::Bootloader);
    }
}

TEST_F(RestartTest, FlashWithoutEraseOnlyClearsBits)
{
    UnitOptions options;
    options.personality = Personality::Bootloader;
    VirtualUnit& unit = bus->AddUnit(options);
    StartUsb();
    UsbVantrel& loader = Connect(unit);
    std::vector<uint8_t> first(64, 0xF0);
    std::vector<uint8_t> second(64, 0x3C);
    ASSERT_EQ(loader.ControlTransferOut({0x41, 0x02, 16, 0, 64}, first.data(), 64), 64);
    ASSERT_EQ(loader.ControlTransferOut({0x41, 0x02, 16, 0, 64}, second.data(), 64), 64);
    EXPECT_EQ(unit.Flash()[1024], 0x30);
    ASSERT_EQ(loader.ControlTransferOut({0x41, 0x02, 16, 0, 0}, nullptr, 100), 0);  // erase from block 16
    EXPECT_EQ(unit.Flash()[1024], 0xFF);
}

TEST_F(RestartTest, RestartsOfManyUnitsKeepTheirSerials)
{
    for (int i = 0; i < 3; ++i) {
        UnitOptions options;
        options.serial = "MANY" + std::to_string(i);
        options.restartDelay = std::chrono::milliseconds(60);
        bus->AddUnit(options);
    }
    StartUsb();
    VirtualUnit& middle = bus->UnitAt(1);
    ASSERT_EQ(Connect(middle).ControlTransferOut(ACTIVATE_BOOTLOADER, nullptr, 100), 0);
    ASSERT_TRUE(bus->WaitForPersonality(middle, Personality::Bootloader));
    ASSERT_TRUE(WaitListed(middle));
    auto list = Units();
    ASSERT_EQ(list->GetCount(), 3);
    for (UsbDevice* d = list->GetFirst(); d != nullptr; d = list->GetNext()) {
        EXPECT_EQ(d->deviceSubClass, d->serialNumber == "MANY1" ? 1 : 0) << d->serialNumber;
    }
    EXPECT_EQ(bus->UnitAt(0).RestartCount(), 0u);
    EXPECT_EQ(bus->UnitAt(2).RestartCount(), 0u);
}

}  // namespace
