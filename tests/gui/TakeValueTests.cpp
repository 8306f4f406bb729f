// The take-value buttons against a virtual unit: the gear calibration panels,
// the TPS limits and the throttle threshold take the unit's live reading into
// their spin, marks follow as the editor model validates, and nothing changes
// when the live read has failed.
#include <gtest/gtest.h>

#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "editor/EditorModel.h"
#include "editor/LiveReadout.h"

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

// Each button puts the unit's live reading into its own spin, as the spin
// holds it (HeldValue), and changes no other; the marks then follow at once,
// as the editor model validates (tests/editor): a voltage or a ratio that
// another gear has, equal TPS limits.
TEST_F(TakeValue, EachButtonTakesTheLiveReadingIntoItsOwnSpin)
{
    using E = EditorControl;
    std::vector<E> spins(kGearVoltageControls.begin(), kGearVoltageControls.end());
    spins.insert(spins.end(), kGearRatioControls.begin(), kGearRatioControls.end());
    spins.insert(spins.end(), {E::TpsMin, E::TpsMax});
    auto values = [&] {
        std::vector<int> held;
        for (E spin : spins)
            held.push_back(Ctrl<wxSpinCtrl>(frame, BindingOf(spin).name)->GetValue());
        return held;
    };
    auto press = [&](const std::string& button, E spin, uint32_t LiveValues::*reading,
                     std::optional<bool> marks) {
        std::vector<int> expected = values();
        const size_t at = static_cast<size_t>(std::find(spins.begin(), spins.end(), spin) - spins.begin());
        expected[at] = HeldValue(BindingOf(spin), static_cast<int>(Live().*reading), expected[at]);
        Press(button);
        EXPECT_EQ(values(), expected) << button;
        ExpectMarksOfTheModel(frame, button.c_str(), marks);
    };

    // With the unit's own engine running: whatever the poll last brought; a
    // reading above the spin's range (the unit's scale reads 5000 mV back as
    // 5050 mV) stops at its maximum.
    unit->ClearFixedReport();
    RunEventsFor(250);
    EXPECT_GT(Live().gearVoltage, 0u);
    EXPECT_EQ(Live().gearVoltage % 50, 0u);
    press("GEAR_VOLTAGE_BTN_N", E::GearNVoltage, &LiveValues::gearVoltage, std::nullopt);
    unit->SetFixedReport(report);

    struct Case {
        std::string button;
        E spin;
        size_t byte;  // where the unit reports the reading
        uint16_t count;
        int detection;
        bool marks;
    };
    std::vector<Case> cases;
    for (int gear = 0; gear < 7; ++gear)
        cases.push_back({std::string("GEAR_VOLTAGE_BTN_") + kGearNames[gear], kGearVoltageControls[gear],
                         kGearSensorByte, static_cast<uint16_t>(10 + 15 * gear), 0, false});
    // Gear 3 takes gear 2's voltage, then another one.
    cases.push_back({"GEAR_VOLTAGE_BTN_3", E::Gear3Voltage, kGearSensorByte, 40, 0, true});
    cases.push_back({"GEAR_VOLTAGE_BTN_3", E::Gear3Voltage, kGearSensorByte, 107, 0, false});
    for (int gear = 1; gear <= 6; ++gear)
        cases.push_back({"GEAR_RPMSPEED_BTN_" + std::to_string(gear), kGearRatioControls[gear - 1],
                         kRatioByte, static_cast<uint16_t>(200 + 150 * gear), 1, false});
    // Gear 4 takes the ratio gear 5 has; the voltage method does not look at the ratios.
    cases.push_back({"GEAR_RPMSPEED_BTN_4", E::Gear4Ratio, kRatioByte, 950, 1, true});
    cases.push_back({"GEAR_VOLTAGE_BTN_1", E::Gear1Voltage, kGearSensorByte, 30, 0, false});
    // Both limits at the same reading, then apart.
    cases.push_back({"ID_BUTTON11", E::TpsMin, kThrottleByte, 9, 0, false});
    cases.push_back({"ID_BUTTON10", E::TpsMax, kThrottleByte, 58, 0, false});
    cases.push_back({"ID_BUTTON11", E::TpsMin, kThrottleByte, 58, 0, true});
    cases.push_back({"ID_BUTTON10", E::TpsMax, kThrottleByte, 107, 0, false});
    for (const Case& c : cases) {
        ChooseGearDetection(c.detection);
        Report(c.byte, c.count, c.byte == kRatioByte);
        press(c.button, c.spin,
              c.byte == kGearSensorByte ? &LiveValues::gearVoltage
              : c.byte == kRatioByte    ? &LiveValues::rpmSpeedRatio
                                        : &LiveValues::tpsVoltage,
              c.marks);
    }

    // The throttle button takes the position as the percentage the rule gives
    // (editor/LiveReadout); with equal limits the setting stays.
    const std::tuple<uint8_t, int, int> throttles[] = {
        {58, 500, 4500}, {9, 500, 4500}, {107, 500, 4500}, {58, 4500, 500}, {58, 1000, 1000}};
    for (const auto& [count, closed, open] : throttles) {
        Report(kThrottleByte, count);
        auto* percent = Spin(frame, "ID_SPINCTRL18");
        percent->SetValue(37);
        Spin(frame, "ID_SPINCTRL17")->SetValue(closed);
        Spin(frame, "ID_SPINCTRL11")->SetValue(open);
        const int expected = TakenThrottlePercent(Live().tpsVoltage, {closed, open}).value_or(37);
        Press("ID_BUTTON12");
        EXPECT_EQ(percent->GetValue(), expected) << int{count} << " " << closed << " " << open;
        if (closed != open) {
            // The percentage text beside the spin shows the taken value too.
            EXPECT_EQ(Ctrl<wxTextCtrl>(frame, "ID_TEXTCTRL12")->GetValue(), wxString::Format("%d", expected));
        }
    }
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
