// A new virtual unit as the program meets it, through the real libusb and the
// program's own generation classes: the configuration it holds is its
// generation's factory configuration, and its live report decodes to the
// engine's rpm and road speed.
#include <gtest/gtest.h>

#include <algorithm>

#include "BusTestSupport.h"
#include "config/ConfigurationImage.h"
#include "device/DeviceFactory.h"
#include "device/DeviceResult.h"
#include "emulator/LiveEngine.h"

namespace {

constexpr uint16_t kGenerations[] = {100, 101, 102, 103, 104, 105, 106, 107, 108};

// Moments of the engine's ride: idle, first gear, the shift cut out of
// second, fourth, the cruise in sixth, a down-shift blip, the roll-out.
constexpr uint64_t kMoments[] = {1000, 2800, 5150, 8000, 12500, 15950, 17900, 20000};

// Image bytes that hold voltages: the gear sensor, the TPS threshold, minimum and maximum.
bool IsVoltageByte(size_t offset)
{
    return (offset >= 1 && offset <= 7) || offset == 180 || offset == 188 || offset == 189;
}

class FactoryUnit : public BusTest {
protected:
    void TearDown() override
    {
        devices.clear();
        holders.clear();
        BusTest::TearDown();
    }

    VirtualUnit& PlugGeneration(uint16_t generation)
    {
        UnitOptions options;
        options.generation = generation;
        options.serial = "GEN" + std::to_string(generation);
        return bus->AddUnit(options);
    }

    // The program's device object for the unit, opened.
    IVantrel& Connect(const VirtualUnit& unit)
    {
        holders.push_back(FindUnit(unit.Serial()));
        EXPECT_TRUE(holders.back()) << unit.Serial();
        devices.push_back(CreateApplicationDevice(unit.Generation(), *holders.back()));
        EXPECT_NE(devices.back(), nullptr);
        EXPECT_TRUE(devices.back()->Open()) << unit.Serial();
        return *devices.back();
    }

    // Holds the engine at each moment and checks what the program decodes.
    void ExpectEngineShown(VirtualUnit& unit, IVantrel& device, const DeviceConfiguration& config)
    {
        const bool hasSpeedSensor = unit.Generation() >= 107;
        const uint32_t pulses = hasSpeedSensor ? static_cast<uint32_t>(config.PulsesPerTwoRevolutions) : 1;
        uint32_t fastest = 0;
        for (const uint64_t t : kMoments) {
            SCOPED_TRACE(t);
            unit.HoldEngineAt(t);
            LiveValues values;
            ASSERT_EQ(device.ReadLiveData(), DEVICE_OK);
            ASSERT_EQ(device.GetLiveValues(&values), DEVICE_OK);
            const uint32_t rpm = LiveEngine::Rpm(t);
            // Within one tick of the unit's timer at this engine speed.
            EXPECT_NEAR(values.rpm, rpm, 1 + pulses * rpm * rpm / 22500000);
            EXPECT_EQ(values.gear, LiveEngine::Gear(t));
            if (hasSpeedSensor) {
                EXPECT_NEAR(values.speed, LiveEngine::Speed(config, t), 1);
            } else {
                // The wheel's turns a minute, within one tick of the timer.
                const uint32_t turns = LiveEngine::WheelTurns(config, t);
                EXPECT_NEAR(values.speed, turns, 1 + turns * turns / 22500000);
            }
            fastest = std::max(fastest, values.speed);
        }
        EXPECT_GT(fastest, hasSpeedSensor ? 0u : 343u) << "the ride reaches a speed the unit reports";
        unit.HoldEngineAt(std::nullopt);
    }

    std::vector<Listed> holders;
    std::vector<std::unique_ptr<IVantrel>> devices;
};

TEST_F(FactoryUnit, HoldsItsGenerationsDefaults)
{
    for (const uint16_t generation : kGenerations) {
        PlugGeneration(generation);
    }
    StartUsb();
    for (size_t i = 0; i < bus->UnitCount(); ++i) {
        VirtualUnit& unit = bus->UnitAt(i);
        SCOPED_TRACE(unit.Generation());
        IVantrel& device = Connect(unit);
        const ImageFormat format = unit.Generation() >= 107 ? ImageFormat::Long : ImageFormat::Short;
        const DeviceConfiguration defaults = device.GetDefaultConfiguration();
        const std::vector<uint8_t> factory = EncodeConfigurationImage(defaults, format);
        EXPECT_EQ(unit.ConfigurationImage(), factory);

        DeviceConfiguration read;
        ASSERT_EQ(device.ReadConfiguration(&read), DEVICE_OK);
        EXPECT_EQ(CheckConsistency(read), 0);
        if (unit.Generation() >= 107) {
            EXPECT_EQ(CheckRatioConsistency(read), 0);
        }
        // The defaults as the unit's voltage scales give them back.
        DeviceConfiguration expected;
        ASSERT_TRUE(DecodeConfigurationImage(factory, format, expected));
        EXPECT_EQ(read, expected);

        // Written back, every byte stays but the voltages, which the unit's
        // two scales (42.307 mV per code in, 43 out) move up by a code or two.
        ASSERT_EQ(device.WriteConfiguration(read), DEVICE_OK);
        const std::vector<uint8_t> written = unit.ConfigurationImage();
        ASSERT_EQ(written.size(), factory.size());
        for (size_t offset = 0; offset < factory.size(); ++offset) {
            if (IsVoltageByte(offset)) {
                EXPECT_LE(written[offset] - factory[offset], 2) << offset;
                EXPECT_GE(written[offset], factory[offset]) << offset;
            } else {
                EXPECT_EQ(written[offset], factory[offset]) << offset;
            }
        }
    }
}

TEST_F(FactoryUnit, LiveDataShowsTheEnginesRpmAndSpeed)
{
    for (const uint16_t generation : kGenerations) {
        PlugGeneration(generation);
    }
    StartUsb();
    for (size_t i = 0; i < bus->UnitCount(); ++i) {
        VirtualUnit& unit = bus->UnitAt(i);
        SCOPED_TRACE(unit.Generation());
        IVantrel& device = Connect(unit);
        DeviceConfiguration config;
        // As the program connects: the configuration first, then the polling.
        ASSERT_EQ(device.ReadConfiguration(&config), DEVICE_OK);
        ExpectEngineShown(unit, device, config);
    }
}

TEST_F(FactoryUnit, EngineFollowsTheConfigurationTheProgramWrites)
{
    VirtualUnit& older = PlugGeneration(105);
    VirtualUnit& newer = PlugGeneration(108);
    StartUsb();
    for (VirtualUnit* unit : {&older, &newer}) {
        SCOPED_TRACE(unit->Generation());
        IVantrel& device = Connect(*unit);
        DeviceConfiguration config = device.GetDefaultConfiguration();
        config.PulsesPerTwoRevolutions = 4;
        config.NumOfSpeedPulses = 2;
        config.WheelCircumference = 1800;
        const int32_t ratios[] = {900, 700, 560, 480, 430, 400};
        for (size_t gear = 0; gear < 6; ++gear) {
            config.*kRpmSpeedRatioFields[gear] = ratios[gear];
        }
        ASSERT_EQ(device.WriteConfiguration(config), DEVICE_OK);
        DeviceConfiguration stored;
        ASSERT_EQ(device.ReadConfiguration(&stored), DEVICE_OK);
        ExpectEngineShown(*unit, device, stored);
    }
}

}  // namespace
