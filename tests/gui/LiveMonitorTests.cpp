// The live monitor against virtual units: the poll and what it shows, the
// raw grid's highlight, failed reads, warm-up with its keep-alive, the FFT
// setting and the throttle button.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/eventfilter.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "gui/widgets/wxStateLed.h"

namespace {

const wxColour kOrange(255, 127, 0);

const char* const kLedNames[] = {"ID_STATELED_IN_SHIFTER",
                                 "ID_STATELED_IN_BLIPPER",
                                 "ID_STATELED_IN_WARMUP",
                                 "ID_STATELED_IN_PIT",
                                 "ID_STATELED_IN_CLUTCH",
                                 "ID_STATELED_IN_DEACTIVATION",
                                 "ID_STATELED_OUT_RPM_LED",
                                 "ID_STATELED_OUT_BLIPPER",
                                 "ID_STATELED_OUT_IGNITION",
                                 "ID_STATELED_OUT_INJECTION",
                                 "ID_STATELED10"};

// A generation 108 report whose values are easy to follow by hand:
// rpm period 18233, speed period 1000, throttle count 58, gear sensor 57,
// inputs 100 0 23 128 1 0, inputs 0x2A, outputs 0x05, gear 9, power 1,
// ratio 57, supply 160.
const std::vector<uint8_t> kReport = {0x39, 0x47, 0xE8, 0x03, 58, 57, 100, 0, 23, 128,
                                      1,    0,    0x2A, 0x05, 9,  1,  57,  0, 160};

wxString Text(VTX_GUIFrame* frame, int number)
{
    return Ctrl<wxTextCtrl>(frame, wxString::Format("ID_TEXTCTRL%d", number).c_str())->GetValue();
}

int Gauge(VTX_GUIFrame* frame, int number)
{
    return Ctrl<wxGauge>(frame, wxString::Format("ID_GAUGE%d", number).c_str())->GetValue();
}

std::vector<int> LedStates(VTX_GUIFrame* frame)
{
    std::vector<int> states;
    for (const char* name : kLedNames) {
        states.push_back(Ctrl<wxStateLed>(frame, name)->GetState());
    }
    return states;
}

wxSpinCtrl* Spin(VTX_GUIFrame* frame, int number)
{
    return Ctrl<wxSpinCtrl>(frame, wxString::Format("ID_SPINCTRL%d", number).c_str());
}

void SetThrottleLimits(VTX_GUIFrame* frame, int closed, int open)
{
    Spin(frame, 17)->SetValue(closed);
    Spin(frame, 11)->SetValue(open);
}

size_t ModeRequests(const VirtualUnit& unit, uint16_t mode)
{
    size_t count = 0;
    for (const RequestRecord& record : unit.RequestLog()) {
        if (record.kind == RequestRecord::Kind::Control && record.setup.bRequest == 0x03 &&
            record.setup.wValue == mode) {
            ++count;
        }
    }
    return count;
}

size_t FailedLiveReads(const VirtualUnit& unit)
{
    size_t count = 0;
    for (const RequestRecord& record : unit.RequestLog()) {
        if (record.kind == RequestRecord::Kind::Interrupt && record.fault.has_value()) {
            ++count;
        }
    }
    return count;
}

class LiveMonitor : public OnVirtualBus {
protected:
    // A generation 108 unit whose stored configuration decodes kReport as
    // worked out in the tests: one pulse per period, 4 speed pulses, 2000 mm.
    VirtualUnit& PlugAndConnect(const std::string& serial)
    {
        VirtualUnit& unit = PlugUnit(serial);
        DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        config.PulsesPerTwoRevolutions = 1;
        config.NumOfSpeedPulses = 4;
        config.WheelCircumference = 2000;
        unit.SetConfigurationImage(EncodeConfigurationImage(config, ImageFormat::Long));
        unit.SetFixedReport(kReport);
        Launch();
        EXPECT_FALSE(IsSimulated(frame));
        EXPECT_TRUE(frame->IsLiveTimerRunning());
        return unit;
    }

    wxGrid* Grid() const { return Ctrl<wxGrid>(frame, "ID_GRID1"); }

    void SettleGrid(const LiveRaw& raw)
    {
        for (int i = 0; i < 6; ++i) {
            frame->ShowLiveRaw(raw);
        }
    }

    std::vector<int> HighlightedRows() const
    {
        std::vector<int> rows;
        for (int row = 0; row < 16; ++row) {
            if (Grid()->GetCellBackgroundColour(row, 0) == kOrange) {
                rows.push_back(row);
            }
        }
        return rows;
    }
};

}  // namespace

TEST_F(LiveMonitor, ReportOfTheUnitReachesEveryControl)
{
    PlugAndConnect("LM000001");
    SetThrottleLimits(frame, 500, 4500);
    Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION")->SetSelection(0);
    ASSERT_TRUE(RunEventsUntil([&] { return Text(frame, 1) == "1230"; }));
    EXPECT_FALSE(HighlightedRows().empty()) << "the first report lights its rows";
    // ... and they fade after five polls.
    EXPECT_TRUE(RunEventsUntil([&] { return HighlightedRows().empty(); }));

    // rpm 22509116 / 18233 = 1234, shown rounded to 1230; speed 338 km/h.
    EXPECT_EQ(Gauge(frame, 1), 1230);
    EXPECT_EQ(Text(frame, 8), "338");
    EXPECT_EQ(Gauge(frame, 4), 338);
    // Throttle 2500 mV: (2500 - 500) * 100 / 4000 = 50 %.
    EXPECT_EQ(Text(frame, 2), "2.5 V");
    EXPECT_EQ(Text(frame, 7), "50 %");
    EXPECT_EQ(Gauge(frame, 2), 50);
    // Gear sensor 2450 mV (2.45 in single precision is a little above).
    EXPECT_EQ(Text(frame, 6), "2.5 V");
    EXPECT_EQ(Gauge(frame, 3), 2450);
    EXPECT_EQ(Ctrl<wxComboBox>(frame, "ID_COMBOBOX1")->GetSelection(), 7);
    const std::vector<wxString> inputs = {Text(frame, 3), Text(frame, 4),  Text(frame, 5),
                                          Text(frame, 9), Text(frame, 10), Text(frame, 11)};
    EXPECT_EQ(inputs, (std::vector<wxString>{"4.3", "0.0", "1.0", "5.5", "0.1", "0.0"}));
    EXPECT_EQ(LedStates(frame), (std::vector<int>{0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1}));

    const std::vector<wxString> expectedRows = {"18233", "1000", "58", "57", "100", "0", "23", "128",
                                                "1",     "0",    "42", "5",  "9",   "1", "57", "160"};
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(Grid()->GetCellValue(row, 0), expectedRows[row]) << "row " << row;
    }
}

// A unit that keeps reporting the same values costs no repaint: once the
// first report's highlight has faded, the polls go on, but neither the raw
// grid nor an LED of the monitor page is painted again.
TEST_F(LiveMonitor, SteadyReportRepaintsNothing)
{
    auto* notebook = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
    const int previousPage = notebook->GetSelection();
    notebook->SetSelection(notebook->FindPage(Ctrl<wxPanel>(frame, "ID_PANEL7")));
    VirtualUnit& unit = PlugAndConnect("LM000009");
    ASSERT_TRUE(RunEventsUntil([&] { return Text(frame, 1) == "1230"; }));
    ASSERT_TRUE(RunEventsUntil([&] { return HighlightedRows().empty(); }));
    RunEventsFor(300);  // the last highlight's repaint

    struct PaintCount : wxEventFilter {
        std::set<wxWindow*> watched;
        int paints = 0;
        int FilterEvent(wxEvent& event) override
        {
            if (event.GetEventType() == wxEVT_PAINT &&
                watched.count(static_cast<wxWindow*>(event.GetEventObject())) != 0) {
                ++paints;
            }
            return Event_Skip;
        }
    } count;
    count.watched.insert(Grid()->GetGridWindow());
    for (const char* name : kLedNames) {
        count.watched.insert(Ctrl<wxStateLed>(frame, name));
    }
    const size_t readsBefore = unit.RequestLog().size();
    wxEvtHandler::AddFilter(&count);
    RunEventsFor(600);
    wxEvtHandler::RemoveFilter(&count);
    EXPECT_GE(unit.RequestLog().size(), readsBefore + 3) << "the polls went on";
    EXPECT_EQ(count.paints, 0);

    // A change is painted.
    auto changed = kReport;
    changed[14] = 3;
    unit.SetFixedReport(changed);
    wxEvtHandler::AddFilter(&count);
    RunEventsFor(400);
    wxEvtHandler::RemoveFilter(&count);
    EXPECT_GT(count.paints, 0);
    notebook->SetSelection(previousPage);
}

// The arithmetic of the readout has display-free tests (tests/editor); here
// the view's own part: the gauges stop at their range, the gear sensor
// follows the editors' detection method, and the grid paints its rows.
TEST_F(LiveMonitor, ViewShowsTheReadoutInItsControls)
{
    ASSERT_FALSE(frame->IsLiveTimerRunning());
    SetThrottleLimits(frame, 500, 4500);
    auto* gearDetection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");

    LiveValues values;
    values.tpsVoltage = 4900;
    values.gearVoltage = 2450;
    values.rpmSpeedRatio = 57;
    gearDetection->SetSelection(1);
    frame->ShowLiveValues(values);
    EXPECT_EQ(Text(frame, 7), "110 %");
    EXPECT_EQ(Gauge(frame, 2), 100) << "the gauge stops at its range";
    EXPECT_EQ(Text(frame, 6), "57");
    EXPECT_EQ(Gauge(frame, 3), 57);
    ASSERT_GT(gearDetection->GetCount(), 2u);
    gearDetection->SetSelection(2);
    values.rpmSpeedRatio = 99;
    frame->ShowLiveValues(values);
    EXPECT_EQ(Text(frame, 6), "---");
    EXPECT_EQ(Gauge(frame, 3), 57) << "the gauge keeps its value";
    gearDetection->SetSelection(0);
    frame->ShowLiveValues(values);
    EXPECT_EQ(Text(frame, 6), "2.5 V");
    EXPECT_EQ(Gauge(frame, 3), 2450);
}

TEST_F(LiveMonitor, RawGridLabelsAndHighlight)
{
    ASSERT_FALSE(frame->IsLiveTimerRunning());
    const std::vector<wxString> labels = {
        "rpm period", "speed period", "adc tps",         "adc gear",        "adc input1", "adc input2",
        "adc input3", "adc input4",   "adc input5",      "adc input6",      "bin inputs", "bin outputs",
        "gear",       "power supply", "rpm/speed ratio", "adc power supply"};
    ASSERT_EQ(Grid()->GetNumberRows(), 16);
    ASSERT_EQ(Grid()->GetNumberCols(), 1);
    for (int row = 0; row < 16; ++row) {
        EXPECT_EQ(Grid()->GetRowLabelValue(row), labels[row]);
    }
    EXPECT_FALSE(Grid()->IsEditable());

    SettleGrid(LiveRaw{});
    LiveRaw raw{};
    std::copy(kReport.begin(), kReport.end(), raw.begin());
    SettleGrid(raw);
    EXPECT_TRUE(HighlightedRows().empty());

    // A new gear lights its own row only, for five refreshes.
    raw[14] = 3;
    for (int refresh = 1; refresh <= 5; ++refresh) {
        frame->ShowLiveRaw(raw);
        EXPECT_EQ(HighlightedRows(), std::vector<int>{12}) << "refresh " << refresh;
    }
    EXPECT_EQ(Grid()->GetCellValue(12, 0), "3");
    frame->ShowLiveRaw(raw);
    EXPECT_TRUE(HighlightedRows().empty());
}

TEST_F(LiveMonitor, ThreeFailedReadsAreToleratedTheFourthDisconnects)
{
    VirtualUnit& unit = PlugAndConnect("LM000002");
    FaultSpec stall;
    stall.kind = FaultKind::Stall;
    stall.target = FAULT_LIVE_ENDPOINT;
    stall.count = 3;
    unit.AddFault(stall);
    ASSERT_TRUE(RunEventsUntil([&] { return frame->GetDeviceErrorCount() == 3; }));
    EXPECT_FALSE(IsSimulated(frame));
    // The next good read earns one failure back.
    ASSERT_TRUE(RunEventsUntil([&] { return frame->GetDeviceErrorCount() == 2; }));
    EXPECT_FALSE(IsSimulated(frame));
    EXPECT_EQ(Text(frame, 1), "1230");

    // From 2, two more failures in a row: the second one disconnects.
    stall.count = 0;
    unit.AddFault(stall);
    ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
    EXPECT_EQ(FailedLiveReads(unit), 5u);
    EXPECT_FALSE(frame->IsLiveTimerRunning());
    EXPECT_EQ(Text(frame, 1), "0");
    EXPECT_EQ(Grid()->GetCellValue(0, 0), "0");
    EXPECT_EQ(LedStates(frame), std::vector<int>(11, 0));
}

TEST_F(LiveMonitor, UnpluggedUnitEndsInTheSimulatedConnection)
{
    VirtualUnit& unit = PlugAndConnect("LM000003");
    ASSERT_TRUE(RunEventsUntil([&] { return Text(frame, 1) == "1230"; }));
    ModalAnswerer boxes;
    bus->Unplug(unit);
    ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
    EXPECT_FALSE(frame->IsLiveTimerRunning());
    EXPECT_EQ(Text(frame, 1), "0");
    EXPECT_EQ(Text(frame, 8), "0");
    EXPECT_EQ(Ctrl<wxComboBox>(frame, "ID_COMBOBOX1")->GetSelection(), 0);
    EXPECT_TRUE(boxes.shown.empty()) << "no message for a unit that went away";
}

TEST_F(LiveMonitor, WarmUpKeepsTheUnitInWarmUpWhileTicked)
{
    VirtualUnit& unit = PlugAndConnect("LM000004");
    auto* warmUp = Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1");
    auto* fft = Ctrl<wxRadioBox>(frame, "ID_RADIOBOX1");
    ASSERT_TRUE(warmUp->IsEnabled());
    fft->SetSelection(2);

    warmUp->SetValue(true);
    SendCommand(warmUp, wxEVT_CHECKBOX, 1);
    EXPECT_EQ(unit.LastMode(), 3);
    EXPECT_EQ(fft->GetSelection(), 0);
    const size_t before = ModeRequests(unit, 3);
    RunEventsFor(650);
    // Every 100 ms again; allow for a slow machine.
    EXPECT_GE(ModeRequests(unit, 3) - before, 3u);
    EXPECT_EQ(unit.LastMode(), 3);

    warmUp->SetValue(false);
    SendCommand(warmUp, wxEVT_CHECKBOX, 0);
    EXPECT_EQ(unit.LastMode(), 0);
    const size_t afterUntick = ModeRequests(unit, 3);
    RunEventsFor(300);
    EXPECT_EQ(ModeRequests(unit, 3), afterUntick) << "the keep-alive goes on";
}

// The unit sees the poll, and the keep-alive while warming up, ten times a
// second: the rate of each from the median gap between the requests it
// records over a few seconds, which a slow moment of the machine cannot move.
TEST_F(LiveMonitor, PollAndKeepAliveReachTheUnitTenTimesASecond)
{
    const auto rate = [](const VirtualUnit& unit, auto isRequest,
                         std::chrono::steady_clock::time_point from) {
        std::vector<double> gaps;
        std::optional<std::chrono::steady_clock::time_point> previous;
        for (const RequestRecord& record : unit.RequestLog()) {
            if (record.when < from || !isRequest(record)) {
                continue;
            }
            if (previous) {
                gaps.push_back(std::chrono::duration<double, std::milli>(record.when - *previous).count());
            }
            previous = record.when;
        }
        if (gaps.size() < 10) {
            ADD_FAILURE() << gaps.size() + 1 << " requests only";
            return 0.0;
        }
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        return 1000.0 / gaps[gaps.size() / 2];
    };
    const auto isPoll = [](const RequestRecord& r) { return r.kind == RequestRecord::Kind::Interrupt; };
    const auto isKeepAlive = [](const RequestRecord& r) {
        return r.kind == RequestRecord::Kind::Control && r.setup.bRequest == 0x03 && r.setup.wValue == 3;
    };

    VirtualUnit& unit = PlugAndConnect("LM000010");
    auto from = std::chrono::steady_clock::now();
    RunEventsFor(2500);
    EXPECT_NEAR(rate(unit, isPoll, from), 10.0, 0.5) << "polls per second";

    auto* warmUp = Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1");
    warmUp->SetValue(true);
    SendCommand(warmUp, wxEVT_CHECKBOX, 1);
    from = std::chrono::steady_clock::now();
    RunEventsFor(2500);
    EXPECT_NEAR(rate(unit, isKeepAlive, from), 10.0, 0.5) << "keep-alives per second";
    warmUp->SetValue(false);
    SendCommand(warmUp, wxEVT_CHECKBOX, 0);
}

TEST_F(LiveMonitor, FftSettingEndsWarmUpAndSendsItsIndex)
{
    VirtualUnit& unit = PlugAndConnect("LM000005");
    auto* warmUp = Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1");
    warmUp->SetValue(true);
    SendCommand(warmUp, wxEVT_CHECKBOX, 1);
    ASSERT_EQ(unit.LastMode(), 3);

    auto* fft = Ctrl<wxRadioBox>(frame, "ID_RADIOBOX1");
    fft->SetSelection(2);
    SendCommand(fft, wxEVT_RADIOBOX, 2);
    EXPECT_EQ(unit.LastMode(), 2);
    EXPECT_FALSE(warmUp->IsChecked());
    const size_t warmUps = ModeRequests(unit, 3);
    RunEventsFor(300);
    EXPECT_EQ(ModeRequests(unit, 3), warmUps);
    EXPECT_EQ(unit.LastMode(), 2);
}

TEST_F(LiveMonitor, KeepAliveFailureUnticksWarmUpSilently)
{
    VirtualUnit& unit = PlugAndConnect("LM000006");
    auto* warmUp = Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1");
    warmUp->SetValue(true);
    SendCommand(warmUp, wxEVT_CHECKBOX, 1);
    ModalAnswerer boxes;
    bus->Unplug(unit);
    ASSERT_TRUE(RunEventsUntil([&] { return !warmUp->IsChecked(); }));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LiveMonitor, ThrottleButtonTakesThePositionAsPercentage)
{
    VirtualUnit& unit = PlugAndConnect("LM000007");
    auto* button = Ctrl<wxWindow>(frame, "ID_BUTTON12");
    struct Case {
        uint8_t count;  // 58: 2500 mV, 9: 400 mV, 107: 4600 mV
        int closed, open;
        int expected;
    };
    for (const Case& c : {Case{58, 500, 4500, 50}, Case{9, 500, 4500, 1}, Case{107, 500, 4500, 99},
                          Case{58, 4500, 500, 50}, Case{58, 1000, 1000, 37}}) {
        std::vector<uint8_t> report = kReport;
        report[4] = c.count;
        unit.SetFixedReport(report);
        RunEventsFor(250);
        Spin(frame, 18)->SetValue(37);
        SetThrottleLimits(frame, c.closed, c.open);
        SendCommand(button, wxEVT_BUTTON);
        EXPECT_EQ(Spin(frame, 18)->GetValue(), c.expected)
            << int(c.count) << " " << c.closed << " " << c.open;
        if (c.closed != c.open) {
            // The percentage text beside the spin shows the taken value too.
            EXPECT_EQ(Text(frame, 12), wxString::Format("%d", c.expected)) << int(c.count);
        }
    }
}

// The suite's run under LC_ALL=de_DE.UTF-8 (gui_live_firmware_tests_de_DE):
// the live texts keep their fixed formats, while the rpm labels of the maps
// group thousands with the locale's ".".
TEST_F(LiveMonitor, GermanLocaleKeepsTheFormatsAndGroupsTheRpmLabels)
{
    const char* run = std::getenv("LC_ALL");
    if (run == nullptr || std::string(run) != "de_DE.UTF-8") {
        GTEST_SKIP() << "runs under LC_ALL=de_DE.UTF-8";
    }
    const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    ASSERT_NE(german, nullptr) << "de_DE.UTF-8 is not installed: run tools/install-deps.sh";
    freelocale(german);

    for (const char* name : {"ID_GRID2", "ID_GRID3"}) {
        EXPECT_EQ(Ctrl<wxGrid>(frame, name)->GetRowLabelValue(0), "2.000") << name;
        EXPECT_EQ(Ctrl<wxGrid>(frame, name)->GetRowLabelValue(14), "16.000") << name;
    }

    // The other live texts meet the German locale in the tests above.
    SetThrottleLimits(frame, 700, 4300);
    LiveValues values{};
    values.tpsVoltage = 4300;
    frame->ShowLiveValues(values);
    EXPECT_EQ(Text(frame, 2), "4.3 V");
    EXPECT_EQ(Text(frame, 7), "100 %");
    frame->ShowLiveValues(LiveValues{});
}
