// The live monitor against virtual units: what the view shows as the wiring
// of the readout, a lost unit, warm-up with its keep-alive and the FFT
// setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <iterator>
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
#include "editor/LiveReadout.h"
#include "gui/widgets/wxStateLed.h"
#include "session/LivePoll.h"

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

// The view writes what the readout gives (editor/LiveReadout, tested without
// a display) into its controls: values a gauge cannot show and the gear
// sensor by each method, the raw grid with its labels and highlight, then a
// unit's report through the poll.
TEST_F(LiveMonitor, ViewShowsWhatTheReadoutGives)
{
    ASSERT_FALSE(frame->IsLiveTimerRunning());
    SetThrottleLimits(frame, 500, 4500);
    auto* gearDetection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
    ASSERT_GT(gearDetection->GetCount(), 2u);
    LiveValues values;
    values.tpsVoltage = 4900;
    values.gearVoltage = 2450;
    values.rpmSpeedRatio = 57;
    int gearGauge = Gauge(frame, 3);
    for (int method : {kGearByRpmSpeedRatio, 2, kGearBySensorVoltage}) {
        gearDetection->SetSelection(method);
        frame->ShowLiveValues(values);
        const LiveReadout readout = MakeLiveReadout(values, {500, 4500}, method);
        EXPECT_EQ(Text(frame, 7), readout.throttlePercentText);
        EXPECT_EQ(Gauge(frame, 2),
                  std::min(readout.throttlePercent, Ctrl<wxGauge>(frame, "ID_GAUGE2")->GetRange()))
            << "the gauge stops at its range";
        EXPECT_EQ(Text(frame, 6), readout.gearSensor.text) << method;
        gearGauge =
            static_cast<int>(readout.gearSensor.gauge.value_or(gearGauge));  // none: it keeps its value
        EXPECT_EQ(Gauge(frame, 3), gearGauge) << method;
        values.rpmSpeedRatio = 99;
    }

    const std::vector<wxString> labels = {
        "rpm period", "speed period", "adc tps",         "adc gear",        "adc input1", "adc input2",
        "adc input3", "adc input4",   "adc input5",      "adc input6",      "bin inputs", "bin outputs",
        "gear",       "power supply", "rpm/speed ratio", "adc power supply"};
    ASSERT_EQ(Grid()->GetNumberRows(), kRawRows);
    ASSERT_EQ(Grid()->GetNumberCols(), 1);
    for (int row = 0; row < kRawRows; ++row) {
        EXPECT_EQ(Grid()->GetRowLabelValue(row), labels[row]);
    }
    EXPECT_FALSE(Grid()->IsEditable());
    SettleGrid(LiveRaw{});
    RawHighlight highlight;  // as settled on zeros
    LiveRaw raw{};
    std::copy(kReport.begin(), kReport.end(), raw.begin());
    for (int refresh = 0; refresh < 12; ++refresh) {
        if (refresh == 6) {
            raw[14] = 3;  // a new gear
        }
        frame->ShowLiveRaw(raw);
        const std::array<bool, kRawRows> lit = highlight.Refresh(raw);
        std::vector<int> rows;
        for (int row = 0; row < kRawRows; ++row) {
            EXPECT_EQ(Grid()->GetCellValue(row, 0), wxString::Format("%d", RawRows(raw)[row])) << row;
            if (lit[row]) {
                rows.push_back(row);
            }
        }
        EXPECT_EQ(HighlightedRows(), rows) << "refresh " << refresh;
    }

    PlugAndConnect("LM000001");
    SetThrottleLimits(frame, 500, 4500);
    gearDetection->SetSelection(kGearBySensorVoltage);
    LiveValues live{};
    ASSERT_TRUE(RunEventsUntil([&] { return Gauge(frame, 1) > 0; }));
    EXPECT_FALSE(HighlightedRows().empty()) << "the first report lights its rows";
    // ... and they fade after five polls.
    EXPECT_TRUE(RunEventsUntil([&] { return HighlightedRows().empty(); }));
    ASSERT_EQ(frame->GetDevice()->GetLiveValues(&live), 0);
    ASSERT_EQ(frame->GetDevice()->GetLiveRaw(&raw), 0);
    const LiveReadout readout = MakeLiveReadout(live, {500, 4500}, kGearBySensorVoltage);
    EXPECT_EQ(Text(frame, 1), readout.rpmText);
    EXPECT_EQ(Gauge(frame, 1), readout.rpm);
    EXPECT_EQ(Text(frame, 8), readout.speedText);
    EXPECT_EQ(Gauge(frame, 4), readout.speed);
    EXPECT_EQ(Text(frame, 2), readout.throttleVoltText);
    EXPECT_EQ(Text(frame, 7), readout.throttlePercentText);
    EXPECT_EQ(Gauge(frame, 2), readout.throttlePercent);
    EXPECT_EQ(Text(frame, 6), readout.gearSensor.text);
    EXPECT_EQ(Gauge(frame, 3), readout.gearSensor.gauge);
    EXPECT_EQ(Ctrl<wxComboBox>(frame, "ID_COMBOBOX1")->GetSelection(), readout.gearItem);
    const std::vector<wxString> inputs = {Text(frame, 3), Text(frame, 4),  Text(frame, 5),
                                          Text(frame, 9), Text(frame, 10), Text(frame, 11)};
    EXPECT_EQ(inputs, std::vector<wxString>(readout.inputTexts.begin(), readout.inputTexts.end()));
    EXPECT_EQ(LedStates(frame), std::vector<int>(readout.leds.begin(), readout.leds.end()));
    for (int row = 0; row < kRawRows; ++row) {
        EXPECT_EQ(Grid()->GetCellValue(row, 0), wxString::Format("%d", RawRows(raw)[row])) << "row " << row;
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

// A unit lost by failed reads as the poll counts them (session/LivePoll,
// tested on the bus in tests/session), by failed commands counted alike, or
// unplugged, leaves the window on the simulated connection with a zeroed
// view and without a message.
TEST_F(LiveMonitor, LostUnitEndsInTheSimulatedConnectionWithAZeroedView)
{
    constexpr int32_t borne = DeviceErrorCount::kBorne;
    const std::pair<const char*, std::function<void(VirtualUnit&)>> losses[] = {
        {"failed reads",
         [&](VirtualUnit& unit) {
             FaultSpec stall;
             stall.target = FAULT_LIVE_ENDPOINT;
             stall.count = borne;
             unit.AddFault(stall);
             ASSERT_TRUE(RunEventsUntil([&] { return frame->GetDeviceErrorCount() == borne; }));
             EXPECT_FALSE(IsSimulated(frame));
             // The next good read earns one back; from there, the second failure in a row gives up.
             ASSERT_TRUE(RunEventsUntil([&] { return frame->GetDeviceErrorCount() == borne - 1; }));
             EXPECT_FALSE(IsSimulated(frame));
             stall.count = 0;
             unit.AddFault(stall);
             ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
             EXPECT_EQ(FailedLiveReads(unit), static_cast<size_t>(borne + 2));
         }},
        {"failed commands",
         [&](VirtualUnit&) {
             VantrelBase* unit = frame->GetDevice();
             for (int failure = 0; failure < borne; ++failure)
                 frame->HandleDeviceError(-7);
             EXPECT_EQ(frame->GetDeviceErrorCount(), borne);
             EXPECT_EQ(frame->GetDevice(), unit);
             frame->HandleDeviceError(-4);
         }},
        {"unplugged", [&](VirtualUnit& unit) { bus->Unplug(unit); }},
    };
    int n = 0;
    for (const auto& [what, lose] : losses) {
        SCOPED_TRACE(what);
        VirtualUnit& unit = PlugAndConnect("LM00002" + std::to_string(++n));
        ASSERT_TRUE(RunEventsUntil([&] { return Text(frame, 1) == "1230"; }));
        ModalAnswerer boxes;
        lose(unit);
        ASSERT_TRUE(RunEventsUntil([&] { return IsSimulated(frame); }));
        EXPECT_FALSE(frame->IsLiveTimerRunning());
        EXPECT_EQ(Text(frame, 1), "0");
        EXPECT_EQ(Text(frame, 8), "0");
        EXPECT_EQ(Ctrl<wxComboBox>(frame, "ID_COMBOBOX1")->GetSelection(), 0);
        EXPECT_EQ(Grid()->GetCellValue(0, 0), "0");
        EXPECT_EQ(LedStates(frame), std::vector<int>(std::size(kLedNames), 0));
        EXPECT_TRUE(boxes.shown.empty()) << "no message for a unit that went away";
        if (bus->IsAttached(unit))
            bus->Unplug(unit);
    }
}

// Ticked, warm-up puts the unit into its warm-up mode and keeps it there with
// a request every 100 ms; unticking, an FFT setting (whose index the unit
// gets as its mode) and a failed keep-alive end it, without a message, and
// the keep-alive with it.
TEST_F(LiveMonitor, WarmUpKeepsTheUnitInWarmUpUntilItEnds)
{
    auto* warmUp = Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1");
    auto* fft = Ctrl<wxRadioBox>(frame, "ID_RADIOBOX1");
    const std::pair<const char*, std::function<void(VirtualUnit&)>> endings[] = {
        {"unticked",
         [&](VirtualUnit& unit) {
             warmUp->SetValue(false);
             SendCommand(warmUp, wxEVT_CHECKBOX, 0);
             EXPECT_EQ(unit.LastMode(), 0);
         }},
        {"an FFT setting",
         [&](VirtualUnit& unit) {
             fft->SetSelection(2);
             SendCommand(fft, wxEVT_RADIOBOX, 2);
             EXPECT_EQ(unit.LastMode(), 2);
             EXPECT_FALSE(warmUp->IsChecked());
         }},
        {"a failed keep-alive",
         [&](VirtualUnit& unit) {
             bus->Unplug(unit);
             ASSERT_TRUE(RunEventsUntil([&] { return !warmUp->IsChecked(); }));
         }},
    };
    int n = 0;
    for (const auto& [what, end] : endings) {
        SCOPED_TRACE(what);
        VirtualUnit& unit = PlugAndConnect("LM00003" + std::to_string(++n));
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

        ModalAnswerer boxes;
        end(unit);
        const size_t ended = ModeRequests(unit, 3);
        const std::optional<uint16_t> mode = unit.LastMode();
        RunEventsFor(300);
        EXPECT_EQ(ModeRequests(unit, 3), ended) << "the keep-alive goes on";
        EXPECT_EQ(unit.LastMode(), mode);
        EXPECT_TRUE(boxes.shown.empty());
        if (bus->IsAttached(unit))
            bus->Unplug(unit);
    }
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
