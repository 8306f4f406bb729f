// Watching the engine against virtual units: logging the poll's reports to a
// CSV log, the log after a pulled cable, an unwritable log folder, replay of
// the sample log in docs/ and of damaged logs, and the live chart's paints.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include "GuiTestSupport.h"
#include "editor/MapVisits.h"
#include "emulator/LiveEngine.h"
#include "gui/editors/MapCurvesPanel.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LogReplay.h"
#include "livelog/LogReader.h"
#include "livelog/ReplayTimeline.h"

namespace {

using Clock = std::chrono::steady_clock;

wxString RpmText(VTX_GUIFrame* frame)
{
    return Ctrl<wxTextCtrl>(frame, "ID_TEXTCTRL1")->GetValue();
}

size_t UnitRequests(const VirtualUnit& unit)
{
    return unit.RequestLog().size();
}

class LiveLog : public OnVirtualBus {
protected:
    void TearDown() override
    {
        frame->GetLogging().Stop(kLogStoppedLine);
        frame->GetLogging().SetFolder(wxEmptyString);
        frame->GetReplay().Close();
        OnVirtualBus::TearDown();
    }

    // A generation 108 unit with its factory configuration and a running engine.
    VirtualUnit& PlugAndConnect(const std::string& serial)
    {
        plugged = Clock::now();
        VirtualUnit& unit = PlugUnit(serial);
        Launch();
        EXPECT_TRUE(frame->IsLiveTimerRunning());
        return unit;
    }

    std::string WriteFile(const std::string& name, const std::string& text)
    {
        folder = MakeTempFolder();
        const std::string path = folder + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    Clock::time_point plugged;
    std::string folder;
};

}  // namespace

TEST_F(LiveLog, LogsTenRowsASecondOfTheSimulatedEngine)
{
    VirtualUnit& unit = PlugAndConnect("LOG00001");
    ASSERT_EQ(frame->GetStatusBar()->GetFieldsCount(), 3) << "the text, the LED, logging";
    ModalAnswerer answers;
    RunMenuCommand(frame, "ID_MENU_START_LOGGING");
    ASSERT_TRUE(frame->GetLogging().Active());
    const Clock::time_point started = Clock::now();
    const wxString path = frame->GetLogging().Path();
    EXPECT_EQ(wxFileName(path).GetPath(), wxStandardPaths::Get().GetDocumentsDir()) << path;
    EXPECT_TRUE(wxFileName(path).GetFullName().StartsWith("vantrel-log-LOG00001-")) << path;
    RunEventsUntil([&] { return Clock::now() - started >= std::chrono::milliseconds(3000); }, 4000);
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText(2).StartsWith("Logging 0:0")) << "the status shows it";
    RunMenuCommand(frame, "ID_MENU_STOP_LOGGING");
    EXPECT_FALSE(frame->GetLogging().Active());
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), "");
    EXPECT_TRUE(answers.shown.empty());

    const LogContents log = ReadLog(path.utf8_string());
    ASSERT_TRUE(log.isLog);
    EXPECT_FALSE(log.problem.has_value()) << *log.problem;
    EXPECT_EQ(log.closingLine, kLogStoppedLine);
    EXPECT_GE(log.rows.size(), 29u);
    EXPECT_LE(log.rows.size(), 31u);
    // Each row is what the engine ran at about then (on the unit's clock).
    const DeviceConfiguration config = frame->CollectConfiguration();  // as read from the unit
    const auto offset = std::chrono::duration_cast<std::chrono::milliseconds>(started - plugged).count();
    for (const LogRow& row : log.rows) {
        bool found = false;
        const int64_t near = offset + static_cast<int64_t>(row.ms);
        // Within a second: on a loaded machine a poll may be answered late.
        for (int64_t t = std::max<int64_t>(0, near - 1000); t <= near + 1000 && !found; ++t) {
            const uint64_t at = static_cast<uint64_t>(t);
            // The report carries periods: the decoded rpm and speed are the
            // engine's within one period count (rpm^2 / 22,500,000; 1 km/h).
            const int64_t rpm = LiveEngine::Rpm(at);
            const int64_t speed = LiveEngine::Speed(config, at);
            found = std::abs(rpm - int64_t{row.values.rpm}) <= rpm * rpm / 22500000 + 1 &&
                    LiveEngine::Gear(at) == row.values.gear &&
                    std::abs(speed - int64_t{row.values.speed}) <= 1;
        }
        EXPECT_TRUE(found) << "row at " << row.ms << " ms: " << row.values.rpm << " rpm, gear "
                           << row.values.gear;
        EXPECT_EQ(row.raw[14], row.values.gear);
    }
    (void)unit;
}

TEST_F(LiveLog, PulledCableLeavesAValidClosedLog)
{
    VirtualUnit& unit = PlugAndConnect("LOG00002");
    ASSERT_TRUE(frame->GetLogging().Start());
    const wxString path = frame->GetLogging().Path();
    RunEventsFor(800);
    bus->Unplug(unit);
    ASSERT_TRUE(RunEventsUntil([&] { return !frame->GetLogging().Active(); }, 3000));
    EXPECT_TRUE(IsSimulated(frame));
    const LogContents log = ReadLog(path.utf8_string());
    EXPECT_FALSE(log.problem.has_value()) << *log.problem;
    EXPECT_EQ(log.closingLine, kLogDisconnectedLine);
    EXPECT_GE(log.rows.size(), 6u);
}

TEST_F(LiveLog, UnwritableFolderSaysWhyAndChangesNothing)
{
    PlugAndConnect("LOG00003");
    const std::string notAFolder = WriteFile("plain-file", "x");
    frame->GetLogging().SetFolder(wxString::FromUTF8(notAFolder));
    ModalAnswerer answers(wxID_OK);
    RunMenuCommand(frame, "ID_MENU_START_LOGGING");
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_TRUE(answers.shown[0].message.StartsWith("Logging cannot start: the log \"vantrel-log-LOG00003-"))
        << answers.shown[0].message;
    EXPECT_TRUE(answers.shown[0].message.EndsWith("(Not a directory).")) << answers.shown[0].message;
    EXPECT_FALSE(frame->GetLogging().Active());
    EXPECT_TRUE(frame->IsLiveTimerRunning());
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), "");
    std::remove(notAFolder.c_str());
}

// The sample log in docs/ was recorded from a virtual unit's ride
// (vantrel-bench-logging record): its first row idles at 1300 rpm, the row
// shown at 5 s (4969 ms) has 5041 rpm, the one at 12.3 s 9000 rpm.
TEST_F(LiveLog, ReplayOfTheSampleLogShowsItsValuesWithoutTheUnit)
{
    VirtualUnit& unit = PlugAndConnect("LOG00004");
    ModalAnswerer answers;
    LogReplay& replay = frame->GetReplay();
    ASSERT_TRUE(replay.Open(VANTREL_SAMPLE_LOG));
    EXPECT_TRUE(answers.shown.empty());
    EXPECT_FALSE(frame->IsLiveTimerRunning()) << "the live view of the unit stops";
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText(0).StartsWith(
        "Replaying sample-log.csv: the live view of the unit is stopped"))
        << frame->GetStatusBar()->GetStatusText(0);
    const size_t requests = UnitRequests(unit);

    // The shifter map's visits, switched on, are those of the whole log.
    auto* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    auto* visits = dynamic_cast<wxCheckBox*>(frame->FindWindow("ID_MAP_VISITS_SHIFTER"));
    auto* curves = dynamic_cast<MapCurvesPanel*>(frame->FindWindow("ID_MAP_CURVES_SHIFTER"));
    ASSERT_TRUE(shifter && visits && curves);
    EXPECT_EQ(curves->ReadGrid().visits, std::nullopt) << "shown only when switched on";
    visits->SetValue(true);
    wxCommandEvent checked(wxEVT_CHECKBOX, visits->GetId());
    checked.SetInt(1);
    checked.SetEventObject(visits);
    visits->ProcessWindowEvent(checked);
    MapVisits expected;
    for (const LogRow& row : ReadLog(VANTREL_SAMPLE_LOG).rows)
        expected.Count(row.values, shifter->IsColShown(1), true);
    ASSERT_NE(expected.Of(MapGridKind::Shifter), MapVisitCounts{}) << "the sample log has up-shifts";
    EXPECT_EQ(curves->ReadGrid().visits, expected.Of(MapGridKind::Shifter));

    EXPECT_EQ(RpmText(frame), "1300");
    replay.SeekTo(5000);
    EXPECT_EQ(RpmText(frame), "5040");
    replay.SeekTo(12300);
    EXPECT_EQ(RpmText(frame), "9000");
    ShowPage(frame, "ID_PANEL7");
    Pump();
    replay.ShowWhole(true);
    EXPECT_TRUE(RunEventsUntil([&] {
        return frame->GetLiveChart()->SamplesDrawn() == replay.Timeline()->Rows().size();
    })) << "the whole log is in the chart";

    // The page's controls: the slider in tenths of a second, the speeds.
    auto* slider = Ctrl<wxSlider>(frame, "ID_SLIDER_REPLAY");
    slider->SetValue(50);
    SendCommand(slider, wxEVT_SLIDER, 50);
    EXPECT_EQ(RpmText(frame), "5040");
    SendCommand(Ctrl<wxChoice>(frame, "ID_CHOICE_REPLAY_SPEED"), wxEVT_CHOICE, 3);
    EXPECT_EQ(replay.Timeline()->Speed(), 10);
    replay.SeekTo(0);
    EXPECT_EQ(slider->GetValue(), 0) << "a seek moves the slider";
    SendCommand(Ctrl<wxButton>(frame, "ID_BUTTON_REPLAY_PLAY"), wxEVT_BUTTON);
    EXPECT_TRUE(replay.Timeline()->Playing());
    RunEventsFor(1000);  // ten seconds of the log
    const uint64_t position = replay.Timeline()->Position();
    EXPECT_GE(position, 7000u);
    EXPECT_LE(position, 12000u);
    EXPECT_EQ(slider->GetValue(), static_cast<int>(position / 100)) << "the slider follows the play";
    EXPECT_EQ(Ctrl<wxStaticText>(frame, "ID_STATICTEXT_REPLAY_POSITION")->GetLabel(),
              ReplayTimeText(position) + " / " + ReplayTimeText(replay.Timeline()->Duration()));
    EXPECT_EQ(UnitRequests(unit), requests) << "replay never asks the unit";

    replay.Close();
    EXPECT_TRUE(frame->IsLiveTimerRunning()) << "the unit's live view comes back";
    // The editors' source is shown again, not an empty field.
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "Unit LOG00004");
    EXPECT_TRUE(RunEventsUntil([&] { return UnitRequests(unit) > requests; }));
}

TEST_F(LiveLog, DamagedLogsNameTheirFirstBadLine)
{
    LogRow row;
    row.wallClock = "2026-12-08 06:00:00.000";
    row.values.rpm = 4321;
    std::string good = LogHeader() + "\n" + FormatLogRow(row) + "\n";
    row.ms = 100;
    good += FormatLogRow(row).substr(0, 30) + "\n";
    row.ms = 200;
    row.values.rpm = 5678;
    good += FormatLogRow(row) + "\n" + std::string(kLogStoppedLine) + "\n";

    ModalAnswerer answers(wxID_OK);
    LogReplay& replay = frame->GetReplay();
    EXPECT_FALSE(replay.Open(WriteFile("settings.vtn", "[Settings]\nA=1\n")));
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].message,
              "This file is not a VantrelStudio live log: line 1 is not the header of one.");
    EXPECT_FALSE(replay.Active());

    EXPECT_TRUE(replay.Open(WriteFile("damaged.csv", good)));
    ASSERT_EQ(answers.shown.size(), 2u);
    EXPECT_EQ(answers.shown[1].message,
              "Line 3 of the log is malformed; the 2 readable rows can be replayed.");
    ASSERT_TRUE(replay.Active());
    EXPECT_EQ(RpmText(frame), "4320");
    replay.SeekTo(200);
    EXPECT_EQ(RpmText(frame), "5680");
}

TEST_F(LiveLog, ChartPaintsOnlyWhileItsPageIsShown)
{
    PlugAndConnect("LOG00005");
    LiveChart* chart = frame->GetLiveChart();
    ASSERT_NE(chart, nullptr);
    ShowPage(frame, "ID_PANEL1");
    Pump();
    RunEventsFor(300);
    const size_t paints = chart->Paints();
    const size_t held = chart->SamplesHeld();
    RunEventsFor(600);
    EXPECT_EQ(chart->Paints(), paints) << "hidden: no paint";
    EXPECT_GT(chart->SamplesHeld(), held) << "but the samples are kept";
    ShowPage(frame, "ID_PANEL7");
    Pump();
    RunEventsFor(600);
    EXPECT_GE(chart->Paints(), paints + 2) << "shown: it follows the poll (five paints a second)";
    EXPECT_GT(chart->SamplesDrawn(), 0u);
}

TEST_F(LiveLog, HoldStopsTheChartButNotThePollOrTheLog)
{
    PlugAndConnect("LOG00006");
    ShowPage(frame, "ID_PANEL7");
    ASSERT_TRUE(frame->GetLogging().Start());
    RunEventsFor(500);
    LiveChart* chart = frame->GetLiveChart();
    auto* hold = Ctrl<wxToggleButton>(frame, "ID_TOGGLE_CHART_HOLD");
    hold->SetValue(true);
    SendCommand(hold, wxEVT_TOGGLEBUTTON, 1);
    ASSERT_TRUE(chart->Held());
    const ChartWindow view = chart->Window();
    const size_t samples = chart->SamplesHeld();
    const size_t rows = frame->GetLogging().Rows();
    RunEventsFor(800);
    EXPECT_EQ(chart->Window().right, view.right) << "the view stays where it was";
    EXPECT_GE(chart->SamplesHeld(), samples + 5) << "the poll goes on";
    EXPECT_GE(frame->GetLogging().Rows(), rows + 5) << "so does the log";

    hold->SetValue(false);
    SendCommand(hold, wxEVT_TOGGLEBUTTON, 0);
    EXPECT_FALSE(chart->Held());
    EXPECT_GE(chart->Window().right, view.right + 500) << "back to now";
}
