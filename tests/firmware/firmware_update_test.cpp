// The firmware update against the virtual unit, through the real libusb: the
// flash it leaves, the order of its writes, its messages and progress values,
// how it finds the restarted unit, and every way it can fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <thread>

#include "device/DeviceResult.h"
#include "firmware_update_support.h"
#include "usb/UsbVantrel.h"

namespace {

// Every record but progress, in order, for an update that starts in the
// application and succeeds.
const std::vector<LogEntry> kFromApplication = {
    {wxLOG_Info, "Firmware is gonna be updated to version: 0003.0901.0108."},
    {wxLOG_Warning, "Upgrading firmware, do NOT disconnect the device from the PC during upgrade process!!"},
    {wxLOG_Info, "Waiting for bootloader..."},
    {wxLOG_Info, "Deleting flash memory."},
    {wxLOG_Info, "Flashing a new firmware..."},
    {wxLOG_Message, "Flashing done."},
    {wxLOG_Info, "Waiting for application..."},
};

const std::vector<LogEntry> kFromBootloader = {
    {wxLOG_Info, "Firmware is gonna be updated to version: 0003.0901.0108."},
    {wxLOG_Warning, "Upgrading firmware, do NOT disconnect the device from the PC during upgrade process!!"},
    {wxLOG_Warning, "Bootloader is being active."},
    {wxLOG_Info, "Deleting flash memory."},
    {wxLOG_Info, "Flashing a new firmware..."},
    {wxLOG_Message, "Flashing done."},
    {wxLOG_Info, "Waiting for application..."},
};

// A unit running the application of `generation`, restarting after `delay`.
UnitOptions ApplicationUnit(uint16_t generation,
                            std::chrono::milliseconds delay = std::chrono::milliseconds(200))
{
    UnitOptions options;
    options.generation = generation;
    options.restartDelay = delay;
    return options;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> values(static_cast<size_t>(last - first + 1));
    std::iota(values.begin(), values.end(), first);
    return values;
}

// The writes since the last erase.
std::vector<FlashOperation> WritesSinceErase(const VirtualUnit& unit)
{
    const std::vector<FlashOperation> log = unit.FlashLog();
    auto erase = std::find_if(log.rbegin(), log.rend(), [](const FlashOperation& op) {
        return op.kind == FlashOperation::Kind::Erase;
    });
    EXPECT_NE(erase, log.rend()) << "no erase";
    return {erase.base(), log.end()};
}

std::vector<uint32_t> Addresses(const std::vector<FlashOperation>& writes)
{
    std::vector<uint32_t> addresses;
    for (const FlashOperation& op : writes) {
        EXPECT_EQ(op.kind, FlashOperation::Kind::Write);
        EXPECT_EQ(op.length, 64u);
        addresses.push_back(op.address);
    }
    return addresses;
}

// The 19060-byte image goes in as 294 body blocks at 256 ... 19008, then the
// four head blocks 0, 64, 128, 192.
std::vector<uint32_t> FullWriteOrder()
{
    std::vector<uint32_t> order;
    for (uint32_t address = 256; address <= 19008; address += 64) {
        order.push_back(address);
    }
    order.insert(order.end(), {0, 64, 128, 192});
    return order;
}

class FirmwareUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bus = FirmwareBusEnvironment::Bus();
        if (bus == nullptr) {
            GTEST_SKIP() << "needs umockdev's preload (run under umockdev-wrapper)";
        }
        image = LibraryImage();
        ASSERT_EQ(image.size, 19060u);
    }

    void TearDown() override
    {
        if (bus == nullptr) {
            return;
        }
        for (VirtualUnit* unit : units) {
            if (bus->IsAttached(*unit)) {
                bus->Unplug(*unit);
            }
        }
    }

    // A unit with a serial number no other test uses.
    VirtualUnit& AddUnit(UnitOptions options = {})
    {
        static int next = 1;
        options.serial = "FW" + std::to_string(next++) + "X";
        VirtualUnit& unit = bus->AddUnit(options);
        units.push_back(&unit);
        return unit;
    }

    // Makes the unit's arrival in each wait deterministic: after the sleep of
    // attempt `bootloaderAttempt` of the bootloader wait (and likewise for the
    // application wait) the unit's restart ends and the test waits until it is
    // back in that personality, before the update looks for it. A restart
    // delay longer than the wait keeps it away until then.
    void ArriveAt(UpdateObserver& observer, VirtualUnit& unit, int bootloaderAttempt, int applicationAttempt)
    {
        sleepsBeforeApplicationWait = 0;
        observer.afterSleep = [this, &observer, &unit, bootloaderAttempt, applicationAttempt](int sleep) {
            const bool applicationWait = observer.log.Contains("Waiting for application...");
            if (!applicationWait) {
                sleepsBeforeApplicationWait = sleep;
                if (sleep == bootloaderAttempt) {
                    bus->ArriveNow(unit);
                    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader));
                }
            } else if (sleep - sleepsBeforeApplicationWait == applicationAttempt) {
                bus->ArriveNow(unit);
                ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Application));
            }
        };
    }

    void ExpectFlashHoldsImage(const VirtualUnit& unit) const
    {
        const std::vector<uint8_t> flash = unit.Flash();
        ASSERT_EQ(flash.size(), FLASH_SIZE);
        EXPECT_TRUE(std::equal(image.data, image.data + image.size, flash.begin())) << "image bytes differ";
        // 12 bytes of padding end the last block; the rest stays erased.
        EXPECT_TRUE(
            std::all_of(flash.begin() + image.size, flash.end(), [](uint8_t b) { return b == 0xFF; }));
    }

    void ExpectFoundAgainWithImageVersion(VantrelBase& connection) const
    {
        EXPECT_FALSE(connection.IsOpen()) << "the new application object is left closed";
        ASSERT_TRUE(connection.Open());
        EXPECT_EQ(connection.GetDeviceMode(), DEVICE_MODE_APPLICATION);
        EXPECT_EQ(connection.GetVersion(), 108);
        VersionTriple firmware;
        ASSERT_EQ(connection.GetFirmwareVersion(&firmware), 0);
        EXPECT_EQ(firmware, (VersionTriple{3, 0x0901, 0x0108}));
        connection.Close();
    }

    VirtualBus* bus = nullptr;
    FwFile image{};
    std::vector<VirtualUnit*> units;
    int sleepsBeforeApplicationWait = 0;
};

TEST_F(FirmwareUpdateTest, FromApplicationWritesTheImageAndFindsTheNewApplication)
{
    VirtualUnit& unit = AddUnit(ApplicationUnit(107));
    // A tempting neighbour: same product, already in its bootloader.
    UnitOptions otherOptions;
    otherOptions.personality = Personality::Bootloader;
    VirtualUnit& other = AddUnit(otherOptions);
    auto connection = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(connection);

    UpdateObserver observer;
    ArriveAt(observer, unit, 1, 1);
    ASSERT_EQ(connection->UpdateFirmware(image, observer.pacing), 0);

    ExpectFlashHoldsImage(unit);
    EXPECT_EQ(Addresses(WritesSinceErase(unit)), FullWriteOrder());
    EXPECT_EQ(observer.log.messages, kFromApplication);
    // 1, 2, one bootloader attempt (3), 90 body steps (4 ... 93), then 94, 95
    // and one application attempt (96).
    EXPECT_EQ(observer.log.progress, Range(1, 96));
    EXPECT_EQ(observer.sleptMs, 2 * 500u);
    EXPECT_EQ(unit.Generation(), 108);
    ExpectFoundAgainWithImageVersion(*connection);

    EXPECT_TRUE(other.RequestLog().empty()) << "the other unit was talked to";
    EXPECT_TRUE(other.FlashLog().empty());
}

TEST_F(FirmwareUpdateTest, FromBootloaderSkipsTheActivation)
{
    UnitOptions options;
    options.personality = Personality::Bootloader;
    options.bootloaderVersion = 101;
    VirtualUnit& unit = AddUnit(options);
    auto connection = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->GetDeviceMode(), DEVICE_MODE_BOOTLOADER);

    UpdateObserver observer;
    ArriveAt(observer, unit, 0, 1);
    ASSERT_EQ(connection->UpdateFirmware(image, observer.pacing), 0);

    ExpectFlashHoldsImage(unit);
    EXPECT_EQ(observer.log.messages, kFromBootloader);
    // No bootloader wait: the body steps start after 2.
    EXPECT_EQ(observer.log.progress, Range(1, 95));
    EXPECT_EQ(observer.sleeps, 1);
    ExpectFoundAgainWithImageVersion(*connection);
    for (const RequestRecord& request : unit.RequestLog()) {
        const bool activatesBootloader = request.kind == RequestRecord::Kind::Control &&
                                         request.setup.bmRequestType == 0x41 &&
                                         request.setup.bRequest == 0x01 && request.setup.wValue == 1;
        EXPECT_FALSE(activatesBootloader);
    }
}

// Each wait makes ten attempts, 500 ms apart, and each costs one progress
// step: a unit that takes until the third, or the tenth, to come back in both
// waits is still updated. Its restart delay keeps it away until then.
TEST_F(FirmwareUpdateTest, SlowRestartsCostOneProgressStepPerAttemptUpToTheTenth)
{
    struct Case {
        int attempt;
        int lastProgress;
    };
    // Third: attempts 3, 4, 5; body 6 ... 95; 96, 97; attempts 98, 99, 100.
    // Tenth: attempts 3 ... 12; body 13 ... 102; 103, 104; attempts 105 ... 114.
    for (const Case c : {Case{3, 100}, Case{10, 114}}) {
        VirtualUnit& unit = AddUnit(ApplicationUnit(107, std::chrono::minutes(1)));
        auto connection = ConnectBySerial(unit.Serial());
        ASSERT_TRUE(connection);

        UpdateObserver observer;
        ArriveAt(observer, unit, c.attempt, c.attempt);
        ASSERT_EQ(connection->UpdateFirmware(image, observer.pacing), 0) << "back at attempt " << c.attempt;

        EXPECT_EQ(observer.log.progress, Range(1, c.lastProgress));
        EXPECT_EQ(observer.sleeps, 2 * c.attempt);
        EXPECT_EQ(observer.sleptMs, 2u * c.attempt * 500u);
        EXPECT_EQ(observer.log.messages, kFromApplication);
        ExpectFlashHoldsImage(unit);
        ExpectFoundAgainWithImageVersion(*connection);
    }
}

// A device with the unit's serial number that shows the wrong personality is
// passed over for that attempt, and never opened, although a device class
// exists for its release (100).
TEST_F(FirmwareUpdateTest, SameSerialInTheWrongPersonalityCostsOneAttempt)
{
    VirtualUnit& unit = AddUnit(ApplicationUnit(107, std::chrono::milliseconds(1500)));
    auto connection = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(connection);

    UpdateObserver observer;
    ArriveAt(observer, unit, 2, 2);
    VirtualUnit* impostor = nullptr;
    int progressSeen = 0;
    observer.log.onRecord = [&](wxLogLevel level, const std::string& text) {
        if (level != wxLOG_Progress) {
            return;
        }
        const int value = std::stoi(text);
        progressSeen = value;
        // Attempt 1 of each wait meets only the impostor; it is gone for attempt 2.
        const bool bootloaderWait = value == 3;
        const bool applicationWait = value == 96;  // reported just before the application wait
        if (bootloaderWait || applicationWait) {
            UnitOptions options;
            options.serial = unit.Serial();
            options.generation = 100;
            options.bootloaderVersion = 100;
            options.personality = bootloaderWait ? Personality::Application : Personality::Bootloader;
            impostor = &bus->AddUnit(options);
            units.push_back(impostor);
        }
        if ((value == 4 || value == 98) && impostor != nullptr) {
            EXPECT_TRUE(impostor->RequestLog().empty()) << "the impostor was opened at progress " << value;
            bus->Unplug(*impostor);
            impostor = nullptr;
        }
    };
    ASSERT_EQ(connection->UpdateFirmware(image, observer.pacing), 0);

    // 3 and 4 for the bootloader wait, body 5 ... 94, 95, 96, then attempts 97 and 98.
    EXPECT_EQ(observer.log.progress, Range(1, 98));
    EXPECT_EQ(progressSeen, 98);
    ExpectFlashHoldsImage(unit);
    ExpectFoundAgainWithImageVersion(*connection);
}

TEST_F(FirmwareUpdateTest, SimulatedConnectionIsRefusedBeforeAnythingHappens)
{
    VantrelBase simulated;
    ASSERT_TRUE(simulated.Open());
    UpdateObserver observer;
    EXPECT_EQ(simulated.UpdateFirmware(image, observer.pacing), ERROR_NOT_AVAILABLE);
    EXPECT_EQ(observer.log.Errors(),
              std::vector<std::string>{"It's not possible to read information about hardware, error: -14."});
    EXPECT_TRUE(observer.log.progress.empty());
}

constexpr std::chrono::milliseconds kQuickRestart{200};

struct FailureCase {
    const char* name;
    std::function<void(VirtualUnit&)> arrange;
    std::chrono::milliseconds restartDelay;
    bool headerlessImage = false;  // an image whose header marks no application
    int32_t result;
    const char* error;
    bool leavesBootloader;  // the unit waits in its bootloader afterwards
    int lastProgress;       // progress runs 1 ... lastProgress
    int sleeps;             // one per attempt of the waits
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

FaultSpec Fault(FaultKind kind, int request, uint32_t skip)
{
    FaultSpec fault;
    fault.kind = kind;
    fault.target = request;
    fault.skip = skip;
    return fault;
}

// Request 0x01 carries, in this order, the boot version read, the restart into
// the bootloader and (in the bootloader) the restart into the application;
// request 0x02 the erase, the 294 body blocks and the 4 head blocks.
const FailureCase kFailures[] = {
    {"BootVersionRead", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Stall, 0x01, 0)); }, kQuickRestart,
     false, -9, "It's not possible to read information about hardware, error: -9.", false, 0, 0},
    {"TypeMismatch",
     [](VirtualUnit& u) {
         u.SetBootVersion({2, 0x0901, 0x0100});
     },
     kQuickRestart, false, -1, "Unsupported device 0002", false, 1, 0},
    {"ActivationRefused", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Stall, 0x01, 1)); }, kQuickRestart,
     false, -9, "Bootloader activating error: -9.", false, 2, 0},
    {"BootloaderNeverAppears", [](VirtualUnit&) {}, std::chrono::milliseconds(9000), false, -1,
     "Bootloader activating error.", false, 12, 10},
    {"Erase", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Stall, 0x02, 0)); }, kQuickRestart, false, -9,
     "It was not possible to erase flash memory, error: -9.", true, 3, 1},
    {"BodyWriteTimeout", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Timeout, 0x02, 13)); },
     kQuickRestart, false, -7, "Error flashing memory at position 1024, error: -7", true, 7, 1},
    {"HeadWrite", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Stall, 0x02, 295)); }, kQuickRestart,
     false, -9, "Error flashing memory at position 0, error: -9.", true, 93, 1},
    {"ApplicationActivation", [](VirtualUnit& u) { u.AddFault(Fault(FaultKind::Stall, 0x01, 2)); },
     kQuickRestart, false, -9, "Application activating error: -9.", true, 94, 1},
    {"ApplicationNeverAppears", [](VirtualUnit&) {}, kQuickRestart, true, -1, "Application activating error.",
     true, 105, 11},
};

class FirmwareUpdateFailureTest : public FirmwareUpdateTest,
                                  public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FirmwareUpdateFailureTest, EndsWithItsOneErrorAndTheNextRunFinishes)
{
    const FailureCase& failure = GetParam();
    VirtualUnit& unit = AddUnit(ApplicationUnit(107, failure.restartDelay));
    failure.arrange(unit);
    auto connection = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(connection);

    std::vector<uint8_t> headerless;
    FwFile used = image;
    if (failure.headerlessImage) {
        headerless.assign(image.data, image.data + image.size);
        std::fill(headerless.begin() + 0x100, headerless.begin() + 0x108, 0xFF);
        used.data = headerless.data();
    }
    {
        UpdateObserver observer;
        EXPECT_EQ(connection->UpdateFirmware(used, observer.pacing), failure.result);
        EXPECT_EQ(observer.log.Errors(), std::vector<std::string>{failure.error});
        // A unit that never comes back costs exactly ten attempts, 3 ... 12 in
        // the bootloader wait.
        EXPECT_EQ(observer.log.progress, Range(1, failure.lastProgress));
        EXPECT_EQ(observer.sleeps, failure.sleeps);
    }
    // An erase, if any, is followed by a gap-free run of body blocks in
    // order, and the head only after all of them.
    const std::vector<FlashOperation> log = unit.FlashLog();
    if (!log.empty()) {
        const std::vector<uint32_t> written = Addresses(WritesSinceErase(unit));
        const std::vector<uint32_t> full = FullWriteOrder();
        ASSERT_LE(written.size(), full.size());
        EXPECT_TRUE(std::equal(written.begin(), written.end(), full.begin()));
    }
    connection.reset();
    if (!failure.leavesBootloader) {
        return;
    }

    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader, std::chrono::milliseconds(8000)));
    unit.ClearFaults();
    auto again = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(again);
    UpdateObserver observer;
    ArriveAt(observer, unit, 0, 1);
    ASSERT_EQ(again->UpdateFirmware(image, observer.pacing), 0);
    EXPECT_EQ(observer.log.messages, kFromBootloader);
    EXPECT_EQ(Addresses(WritesSinceErase(unit)), FullWriteOrder());
    ExpectFlashHoldsImage(unit);
}

INSTANTIATE_TEST_SUITE_P(EachStep, FirmwareUpdateFailureTest, ::testing::ValuesIn(kFailures),
                         [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

struct PullCase {
    const char* name;
    uint32_t skip;  // writes that pass first (the erase counts as one)
    const char* error;
};

const PullCase kPulls[] = {
    {"FirstBodyBlock", 1, "Error flashing memory at position 256, error: -4"},
    {"MiddleBodyBlock", 148, "Error flashing memory at position 9664, error: -4"},
    {"LastBodyBlock", 294, "Error flashing memory at position 19008, error: -4"},
    {"HeadBlock", 296, "Error flashing memory at position 64, error: -4."},
};

class FirmwareUpdatePullTest : public FirmwareUpdateTest, public ::testing::WithParamInterface<PullCase> {};

TEST_P(FirmwareUpdatePullTest, CablePulledWhileWritingThenTheNextUpdateFinishes)
{
    const PullCase& pull = GetParam();
    VirtualUnit& unit = AddUnit(ApplicationUnit(107));
    unit.AddFault(Fault(FaultKind::Disconnect, 0x02, pull.skip));
    auto connection = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(connection);
    {
        UpdateObserver observer;
        ArriveAt(observer, unit, 1, 1);
        EXPECT_EQ(connection->UpdateFirmware(image, observer.pacing), -4 /* LIBUSB_ERROR_NO_DEVICE */);
        EXPECT_EQ(observer.log.Errors(), std::vector<std::string>{pull.error});
    }
    const std::vector<uint32_t> written = Addresses(WritesSinceErase(unit));
    const std::vector<uint32_t> full = FullWriteOrder();
    ASSERT_EQ(written.size(), pull.skip - 1);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), full.begin()));
    connection.reset();

    // The bus takes the pulled unit off on its own thread; plugged in again,
    // the unit is still in its bootloader.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (bus->IsAttached(unit) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_FALSE(bus->IsAttached(unit));
    bus->Replug(unit);
    ASSERT_TRUE(bus->WaitForPersonality(unit, Personality::Bootloader));
    unit.ClearFaults();
    auto again = ConnectBySerial(unit.Serial());
    ASSERT_TRUE(again);
    UpdateObserver observer;
    ArriveAt(observer, unit, 0, 1);
    ASSERT_EQ(again->UpdateFirmware(image, observer.pacing), 0);
    EXPECT_TRUE(observer.log.Contains("Bootloader is being active."));
    EXPECT_EQ(Addresses(WritesSinceErase(unit)), FullWriteOrder());
    ExpectFlashHoldsImage(unit);
    ExpectFoundAgainWithImageVersion(*again);
}

INSTANTIATE_TEST_SUITE_P(AtEachPhase, FirmwareUpdatePullTest, ::testing::ValuesIn(kPulls),
                         [](const ::testing::TestParamInfo<PullCase>& info) { return info.param.name; });

}  // namespace

const auto* const kBusEnvironment = ::testing::AddGlobalTestEnvironment(new FirmwareBusEnvironment);
