// The bootloader requests on the wire and the results the bootloader classes
// make of the unit's answers.
#include <gtest/gtest.h>

#include <libusb.h>

#include <chrono>
#include <numeric>
#include <typeindex>

#include "VirtualUnitFixture.h"
#include "device/Bootloader.h"
#include "device/DeviceFactory.h"
#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"

namespace {

class BootloaderRequests : public VirtualUnitTest {
protected:
    void SetUp() override
    {
        VirtualUnitTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        UnitOptions options;
        options.personality = Personality::Bootloader;
        options.bootloaderVersion = 101;
        unit = &Plug(options);
        const UsbDevice& record = RecordOf(*unit);
        ASSERT_EQ(record.version, 101);
        ASSERT_EQ(record.deviceSubClass, 1);
        bootloader = CreateBootloaderDevice(record.version, record);
        ASSERT_NE(bootloader, nullptr);
        ASSERT_EQ(std::type_index(typeid(*bootloader)), std::type_index(typeid(Bootloader101)));
        ASSERT_TRUE(bootloader->Open());
        unit->ClearRequestLog();
    }

    void TearDown() override
    {
        bootloader.reset();
        VirtualUnitTest::TearDown();
    }

    void AddFault(FaultKind kind, int target, int32_t shortLength = -1)
    {
        FaultSpec fault;
        fault.kind = kind;
        fault.target = target;
        fault.shortLength = shortLength;
        unit->AddFault(fault);
    }

    static std::vector<uint8_t> Block()
    {
        std::vector<uint8_t> block(64);
        std::iota(block.begin(), block.end(), uint8_t{0x40});
        return block;
    }

    VirtualUnit* unit = nullptr;
    std::unique_ptr<IBootloader> bootloader;
};

TEST_F(BootloaderRequests, VersionReplies)
{
    unit->SetBootVersion({0x0003, 0x0901, 0x0108});  // on the wire: 03 00 01 09 08 01
    VersionTriple boot;
    EXPECT_EQ(bootloader->GetBootVersion(&boot), DEVICE_OK);
    EXPECT_EQ(boot, (VersionTriple{3, 0x0901, 0x0108}));
    VersionTriple firmware;
    EXPECT_EQ(bootloader->GetFirmwareVersion(&firmware), DEVICE_OK);
    EXPECT_EQ(firmware.w2, 0xFFFFu);  // plugged in with an erased flash

    const auto requests = ControlRequests(*unit);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0xC1, 0x01, 0, 0, 6));
    EXPECT_EQ(SetupBytes(requests[1].setup), SetupBytes(0xC1, 0x01, 1, 0, 6));
}

TEST_F(BootloaderRequests, ShortOrMissingVersionOutput)
{
    AddFault(FaultKind::Short, REQ_BOOT, 5);
    VersionTriple triple{9, 9, 9};
    EXPECT_EQ(bootloader->GetBootVersion(&triple), ERROR_SHORT_TRANSFER);
    EXPECT_EQ(triple, (VersionTriple{9, 9, 9}));
    unit->ClearRequestLog();
    EXPECT_EQ(bootloader->GetBootVersion(nullptr), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(bootloader->GetFirmwareVersion(nullptr), ERROR_NOT_AVAILABLE);
    EXPECT_TRUE(unit->RequestLog().empty());
}

TEST_F(BootloaderRequests, EraseAndBlockWrite)
{
    EXPECT_GE(bootloader->Erase(0), 0);
    const std::vector<uint8_t> block = Block();
    EXPECT_EQ(bootloader->WriteBlock(448, block.data(), block.size()), DEVICE_OK);

    const auto requests = ControlRequests(*unit);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0x41, 0x02, 0, 0, 0));
    EXPECT_TRUE(requests[0].data.empty());
    EXPECT_EQ(SetupBytes(requests[1].setup), SetupBytes(0x41, 0x02, 7, 0, 64));
    EXPECT_EQ(requests[1].data, block);
    const std::vector<uint8_t> flash = unit->Flash();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), flash.begin() + 448));
}

TEST_F(BootloaderRequests, ShortWriteAndRefusedWrites)
{
    const std::vector<uint8_t> block = Block();
    AddFault(FaultKind::Short, REQ_FLASH, 63);
    EXPECT_EQ(bootloader->WriteBlock(0, block.data(), block.size()), ERROR_SHORT_TRANSFER);
    AddFault(FaultKind::Stall, REQ_FLASH);
    EXPECT_EQ(bootloader->WriteBlock(64, block.data(), block.size()), LIBUSB_ERROR_PIPE);
    // No data, or a zero length whose time-out would be "wait for ever".
    unit->ClearRequestLog();
    EXPECT_EQ(bootloader->WriteBlock(0, nullptr, 64), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(bootloader->WriteBlock(0, block.data(), 0), ERROR_NOT_AVAILABLE);
    EXPECT_TRUE(unit->RequestLog().empty());
}

TEST_F(BootloaderRequests, WriteWaitsTheBlockLengthInMilliseconds)
{
    using Clock = std::chrono::steady_clock;
    const std::vector<uint8_t> block = Block();
    AddFault(FaultKind::Timeout, REQ_FLASH);
    auto start = Clock::now();
    EXPECT_EQ(bootloader->WriteBlock(0, block.data(), 64), LIBUSB_ERROR_TIMEOUT);
    const auto write = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);

    AddFault(FaultKind::Timeout, REQ_BOOT);
    VersionTriple triple;
    start = Clock::now();
    EXPECT_EQ(bootloader->GetBootVersion(&triple), LIBUSB_ERROR_TIMEOUT);
    const auto read = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);

    EXPECT_GE(write.count(), 60);
    EXPECT_GE(read.count(), 95);
    // The other requests wait their 100 ms and not much longer.
    EXPECT_LT(read.count(), 300);
    // Both carry the same overhead; the write's time-out is 36 ms shorter.
    EXPECT_GE((read - write).count(), 15)
        << "write " << write.count() << " ms, read " << read.count() << " ms";
}

TEST_F(BootloaderRequests, Restarts)
{
    EXPECT_EQ(bootloader->ActivateBootloader(), DEVICE_OK);
    ASSERT_TRUE(Bus().WaitIdle());
    auto requests = ControlRequests(*unit);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0x41, 0x01, 1, 0, 0));

    // The restart took the unit off the bus; talk to its new arrival.
    bootloader = CreateBootloaderDevice(101, RecordOf(*unit));
    ASSERT_TRUE(bootloader->Open());
    unit->ClearRequestLog();
    EXPECT_EQ(bootloader->ActivateApplication(), DEVICE_OK);
    requests = ControlRequests(*unit);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(SetupBytes(requests[0].setup), SetupBytes(0x41, 0x01, 0, 0, 0));
}

}  // namespace
