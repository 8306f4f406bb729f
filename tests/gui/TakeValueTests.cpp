// The take-value buttons against a virtual unit: the gear calibration panels
// and the TPS limits copy the unit's live reading into their spin, mark a
// value that another gear already has, and change nothing when the live
// read has failed.
#include <gtest/gtest.h>

#include <wx/radiobox.h>
#include <wx/spinctrl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"

namespace {

const char* const kGearNames[] = {"N", "1", "2", "3", "4", "5", "6"};

// A generation 108 report: throttle count 58 (2500 mV), gear sensor count 57
// (2450 mV), ratio 57, supply count 160; no reading saturated at 255.
const std::vector<uint8_t> kReport = {0x39, 0x47, 0xE8, 0x03, 58, 57, 100, 0, 23, 128,
                                      1,    0,    0x2A, 0x05, 9,  1,  57,  0, 160};
constexpr size_t kThrottleByte = 4;
constexpr size_t kGearSensorByte = 5;
constexpr size_t kRatioByte = 16;  // two bytes, low byte first

wxSpinCtrl* Spin(VTX_GUIFrame* frame, const std::string& name)
{
    return Ctrl<wxSpinCtrl>(frame, name.c_str());
}

std::vector<int> Values(VTX_GUIFrame* frame, const char* prefix)
{
    std::vector<int> values;
    for (const char* gear : kGearNames)
        if (wxSpinCtrl* spin = Spin(frame, std::string(prefix) + gear))
            values.push_back(spin->GetValue());
    return values;
}

std::vector<std::string> RedSpins(VTX_GUIFrame* frame, const char* prefix)
{
    std::vector<std::string> red;
    for (const char* gear : kGearNames)
        if (wxSpinCtrl* spin = Spin(frame, std::string(prefix) + gear);
            spin && spin->GetBackgroundColour() == *wxRED)
            red.push_back(gear);
    return red;
}

class TakeValue : public OnVirtualBus {
protected:
    void SetUpOnBus() override
    {
        static int plugged = 0;
        unit = &PlugUnit(wxString::Format("TV%06d", ++plugged).ToStdString());
        unit->SetConfigurationImage(
            EncodeConfigurationImage(MakeDefaultConfiguration(DefaultsFamily::Gen108), ImageFormat::Long));
        unit->SetFixedReport(kReport);
        Launch();
        ASSERT_FALSE(IsSimulated(frame));
        ASSERT_TRUE(frame->IsLiveTimerRunning());
    }

    LiveValues Live() const
    {
        LiveValues values;
        EXPECT_EQ(frame->GetDevice()->GetLiveValues(&values), 0);
        return values;
    }

    // Puts a value into the unit's report (one byte, or two with the low byte
    // first) and waits until a poll has brought it.
    void Report(size_t at, uint16_t value, bool twoBytes = false)
    {
        report[at] = static_cast<uint8_t>(value & 0xFF);
        if (twoBytes)
            report[at + 1] = static_cast<uint8_t>(value >> 8);
        unit->SetFixedReport(report);
        ASSERT_TRUE(RunEventsUntil([&] {
            LiveRaw raw;
            return frame->GetDevice()->GetLiveRaw(&raw) == 0 &&
                   std::equal(report.begin(), report.end(), raw.begin());
        }));
    }

    void ChooseGearDetection(int method)
    {
        auto* detection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
        ASSERT_TRUE(detection->IsEnabled());
        detection->SetSelection(method);
        SendCommand(detection, wxEVT_RADIOBOX, method);
    }

    void Press(const std::string& button)
    {
        SendCommand(Ctrl<wxWindow>(frame, button.c_str()), wxEVT_BUTTON);
    }

    VirtualUnit* unit = nullptr;
    std::vector<uint8_t> report = kReport;
};

}  // namespace

TEST_F(TakeValue, VoltageButtonsTakeTheLiveSensorVoltageOfTheirGear)
{
    // With the unit's own engine running: whatever the poll last brought.
    unit->ClearFixedReport();
    RunEventsFor(250);
    Press("GEAR_VOLTAGE_BTN_N");
    const uint32_t engine = Live().gearVoltage;
    EXPECT_GT(engine, 0u);
    EXPECT_EQ(engine % 50, 0u);
    // A reading above the spin's range (the unit's scale reads 5000 mV back
    // as 5050 mV) stops at its maximum.
    wxSpinCtrl* neutral = Spin(frame, "GEAR_VOLTAGE_SPN_N");
    EXPECT_EQ(neutral->GetValue(), std::min(static_cast<int>(engine), neutral->GetMax()));

    // Each button fills its own spin and no other.
    for (int gear = 0; gear < 7; ++gear) {
        Report(kGearSensorByte, static_cast<uint16_t>(10 + 15 * gear));
        const int live = static_cast<int>(Live().gearVoltage);
        std::vector<int> expected = Values(frame, "GEAR_VOLTAGE_SPN_");
        expected[gear] = live;
        Press(std::string("GEAR_VOLTAGE_BTN_") + kGearNames[gear]);
        EXPECT_EQ(Values(frame, "GEAR_VOLTAGE_SPN_"), expected) << "gear " << kGearNames[gear];
    }
    EXPECT_EQ(frame->CollectConfiguration().Gear6Voltage, Live().gearVoltage);
}

TEST_F(TakeValue, TakenGearVoltageEqualToAnotherGearTurnsBothRed)
{
    Report(kGearSensorByte, 57);
    ASSERT_EQ(Live().gearVoltage, 2450u);
    Spin(frame, "GEAR_VOLTAGE_SPN_2")->SetValue(2450);
    Press("GEAR_VOLTAGE_BTN_3");
    EXPECT_EQ(Spin(frame, "GEAR_VOLTAGE_SPN_3")->GetValue(), 2450);
    EXPECT_EQ(RedSpins(frame, "GEAR_VOLTAGE_SPN_"), (std::vector<std::string>{"2", "3"}));
    EXPECT_EQ(frame->GetInvalidControls().size(), 2u);

    // Taking another reading for gear 3 clears both marks.
    Report(kGearSensorByte, 107);
    Press("GEAR_VOLTAGE_BTN_3");
    EXPECT_EQ(Spin(frame, "GEAR_VOLTAGE_SPN_3")->GetValue(), 4600);
    EXPECT_TRUE(RedSpins(frame, "GEAR_VOLTAGE_SPN_").empty());
    EXPECT_TRUE(frame->GetInvalidControls().empty());
}

TEST_F(TakeValue, RatioButtonsTakeTheLiveRatioAndMarkADuplicate)
{
    ChooseGearDetection(1);
    for (int gear = 1; gear <= 6; ++gear) {
        Report(kRatioByte, static_cast<uint16_t>(200 + 150 * gear), true);
        std::vector<int> expected = Values(frame, "GEAR_RPMSPEED_SPN_");
        expected[gear - 1] = 200 + 150 * gear;
        Press("GEAR_RPMSPEED_BTN_" + std::to_string(gear));
        EXPECT_EQ(Values(frame, "GEAR_RPMSPEED_SPN_"), expected) << "gear " << gear;
    }
    EXPECT_TRUE(RedSpins(frame, "GEAR_RPMSPEED_SPN_").empty());

    // Gear 4 gets the ratio that gear 5 already has.
    Report(kRatioByte, 950, true);
    Press("GEAR_RPMSPEED_BTN_4");
    EXPECT_EQ(RedSpins(frame, "GEAR_RPMSPEED_SPN_"), (std::vector<std::string>{"4", "5"}));
    EXPECT_FALSE(frame->ValidateControls());

    // The voltage method does not look at the ratios.
    ChooseGearDetection(0);
    EXPECT_TRUE(RedSpins(frame, "GEAR_RPMSPEED_SPN_").empty());
    EXPECT_TRUE(frame->GetInvalidControls().empty());
}

TEST_F(TakeValue, TpsButtonsTakeTheLiveThrottleVoltage)
{
    auto* closed = Spin(frame, "ID_SPINCTRL17");
    auto* open = Spin(frame, "ID_SPINCTRL11");
    Report(kThrottleByte, 9);
    Press("ID_BUTTON11");
    EXPECT_EQ(closed->GetValue(), 400);
    Report(kThrottleByte, 58);
    Press("ID_BUTTON10");
    EXPECT_EQ(open->GetValue(), 2500);
    EXPECT_TRUE(frame->GetInvalidControls().empty());

    // Both limits at the same reading: both red, the maximum listed.
    Press("ID_BUTTON11");
    EXPECT_EQ(closed->GetValue(), 2500);
    EXPECT_EQ(closed->GetBackgroundColour(), *wxRED);
    EXPECT_EQ(open->GetBackgroundColour(), *wxRED);
    EXPECT_EQ(frame->GetInvalidControls(), (std::vector<wxWindow*>{open}));

    Report(kThrottleByte, 107);
    Press("ID_BUTTON10");
    EXPECT_EQ(open->GetValue(), 4600);
    EXPECT_NE(closed->GetBackgroundColour(), *wxRED);
    EXPECT_TRUE(frame->GetInvalidControls().empty());
    const DeviceConfiguration taken = frame->CollectConfiguration();
    EXPECT_EQ(taken.TPSMinVoltage, 2500);
    EXPECT_EQ(taken.TPSMaxVoltage, 4600);
}

TEST_F(TakeValue, AfterAFailedLiveReadEveryButtonReportsAndChangesNothing)
{
    ChooseGearDetection(1);
    const std::vector<int> voltages = Values(frame, "GEAR_VOLTAGE_SPN_");
    const std::vector<int> ratios = Values(frame, "GEAR_RPMSPEED_SPN_");
    const int closed = Spin(frame, "ID_SPINCTRL17")->GetValue();
    const int open = Spin(frame, "ID_SPINCTRL11")->GetValue();

    // Stalled polls; the buttons are pressed while the last one failed. Three
    // in a row, which the poll tolerates, so that a loaded machine running two
    // polls in one turn of the event loop still leaves a failed one behind.
    FaultSpec stall;
    stall.target = FAULT_LIVE_ENDPOINT;
    stall.count = 3;
    unit->AddFault(stall);
    ASSERT_TRUE(RunEventsUntil([&] { return unit->FaultsFired() >= 1; }));
    LiveValues held;
    ASSERT_NE(frame->GetDevice()->GetLiveValues(&held), 0);
    ModalAnswerer boxes(wxID_OK);
    const char* const buttons[] = {"GEAR_VOLTAGE_BTN_3", "GEAR_RPMSPEED_BTN_2", "ID_BUTTON11", "ID_BUTTON10"};
    for (const char* button : buttons)
        Press(button);
    ASSERT_EQ(boxes.shown.size(), std::size(buttons));
    for (const ModalAnswerer::Shown& box : boxes.shown) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.message, "Data reading error");
    }
    EXPECT_EQ(Values(frame, "GEAR_VOLTAGE_SPN_"), voltages);
    EXPECT_EQ(Values(frame, "GEAR_RPMSPEED_SPN_"), ratios);
    EXPECT_EQ(Spin(frame, "ID_SPINCTRL17")->GetValue(), closed);
    EXPECT_EQ(Spin(frame, "ID_SPINCTRL11")->GetValue(), open);
}
