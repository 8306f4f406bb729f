// The firmware update as the user meets it: the window that shows the update,
// the offer after connecting as the wiring of the offer rule (tested without a
// display in tests/session), and the update command end to end against the
// virtual unit, with the failure log of a failed one.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/tokenzr.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "GuiTestSupport.h"
#include "device/DeviceRequests.h"
#include "fwimages/FwFile.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/commands/FwUpdateDialog.h"
#include "gui/commands/UpdateEventGate.h"
#include "session/FailureLog.h"
#include "session/FirmwareOffer.h"

namespace {

std::vector<wxString> Lines(const wxString& text)
{
    std::vector<wxString> lines;
    wxStringTokenizer tokens(text, "\n", wxTOKEN_RET_EMPTY);
    while (tokens.HasMoreTokens()) {
        lines.push_back(tokens.GetNextToken());
    }
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

const wxString kOfferText =
    "A new firmware version is available for the connected device. Do you want to update to the latest "
    "firmware "
    "version?";

// The messages of a complete update from the application, as the window
// shows them (info records included: the window turns verbose logging on).
const std::vector<wxString> kUpdateLines = {
    "Current boot version: 0003.0901.0102.",
    "Current firmware version: 0003.0901.0107.",
    "Firmware is gonna be updated to version: 0003.0901.0108.",
    "Upgrading firmware, do NOT disconnect the device from the PC during upgrade process!!",
    "Waiting for bootloader...",
    "Deleting flash memory.",
    "Flashing a new firmware...",
    "Flashing done.",
    "Waiting for application...",
    "Firmware update finished successfully.",
};

// The dialog on its own, over the main window.
class UpdateWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousLevel = wxLog::GetLogLevel();
        wxLog::SetLogLevel(wxLOG_Progress);
        previous = wxLog::GetActiveTarget();
        dialog = new FwUpdateDialog("Firmware update", "starting ", 100, MainWindow());
    }
    void TearDown() override
    {
        dialog->Destroy();
        Pump();
        EXPECT_EQ(wxLog::GetActiveTarget(), previous) << "the previous log target is back";
        wxLog::SetLogLevel(previousLevel);
    }

    FwUpdateDialog* dialog = nullptr;
    wxLog* previous = nullptr;
    wxLogLevel previousLevel = wxLOG_Max;
};

}  // namespace

TEST_F(UpdateWindow, ShowsRecordsByLevelAndProgress)
{
    EXPECT_EQ(wxLog::GetActiveTarget(), dialog);
    EXPECT_TRUE(wxLog::GetVerbose());
    EXPECT_EQ(dialog->GetLogText()->GetValue(), "starting ");
    EXPECT_FALSE(dialog->GetCloseButton()->IsEnabled());

    dialog->GetLogText()->Clear();
    wxLogError("a\nb");
    wxLogWarning("warned");
    wxLogMessage("told");
    wxLogInfo("verbose");
    wxLogGeneric(wxLOG_Progress, "%d", 42);
    EXPECT_EQ(dialog->GetGauge()->GetValue(), 42);
    wxLogGeneric(wxLOG_Progress, "no number");
    EXPECT_EQ(dialog->GetGauge()->GetValue(), 42);
    wxLogGeneric(wxLOG_Progress, "%d%%", 57);
    EXPECT_EQ(dialog->GetGauge()->GetValue(), 57);
    // The waits can count past the range: a full gauge, and Close stays off.
    wxLogGeneric(wxLOG_Progress, "%d", 131);
    EXPECT_EQ(dialog->GetGauge()->GetValue(), 100);
    EXPECT_FALSE(dialog->GetCloseButton()->IsEnabled());
    EXPECT_EQ(Lines(dialog->GetLogText()->GetValue()),
              (std::vector<wxString>{"a b", "warned", "told", "verbose"}));

    dialog->SetProgress(99, "x");
    EXPECT_FALSE(dialog->GetCloseButton()->IsEnabled());
    EXPECT_EQ(dialog->GetGauge()->GetValue(), 99);
    dialog->SetProgress(100, wxEmptyString);
    EXPECT_TRUE(dialog->GetCloseButton()->IsEnabled());
    EXPECT_TRUE(dialog->GetLogText()->GetValue().EndsWith("verbose\nx"));
}

TEST_F(UpdateWindow, DisablesTheOtherWindowsWhileShown)
{
    dialog->Show();
    EXPECT_FALSE(MainWindow()->IsEnabled());
    dialog->Show(false);
    EXPECT_TRUE(MainWindow()->IsEnabled());
}

namespace {

class FirmwareOnBus : public OnVirtualBus {
protected:
    // A unit of `generation` whose boot version words are 3, 0x0901, 0x0102.
    VirtualUnit& Plug(uint16_t generation, const std::string& serial,
                      Personality personality = Personality::Application, uint16_t hardware = 0x0901,
                      bool validApplication = true)
    {
        UnitOptions options;
        options.generation = generation;
        options.serial = serial;
        options.personality = personality;
        options.validApplication = validApplication;
        options.hardware = hardware;
        VirtualUnit& unit = bus->AddUnit(options);
        unit.SetBootVersion({3, hardware, 0x0102});
        return unit;
    }

    void ExpectFlashHoldsTheImage(const VirtualUnit& unit) const
    {
        FwFile image{};
        ASSERT_EQ(GetFwFile(0x0901, 3, 0, &image), 1);
        const std::vector<uint8_t> flash = unit.Flash();
        EXPECT_TRUE(std::equal(image.data, image.data + image.size, flash.begin()));
        EXPECT_TRUE(
            std::all_of(flash.begin() + image.size, flash.end(), [](uint8_t b) { return b == 0xFF; }));
    }

    FwUpdateDialog* Dialog() const { return frame->GetFwUpdateDialog(); }
    std::vector<wxString> DialogLines() const { return Lines(Dialog()->GetLogText()->GetValue()); }
};

}  // namespace

// The offer after connecting does what the offer rule gives for the unit
// (tests/session, OfferFirmwareTo against such units): a question when it
// asks, whose No is kept for the unit so that the next connect asks no more,
// and whose Yes updates; an update at once without asking; or nothing.
TEST_F(FirmwareOnBus, OfferAtConnectingDoesWhatTheOfferRuleGives)
{
    struct Case {
        const char* what;
        uint16_t generation;
        Personality personality;
        bool validApplication;
        bool firmwareUnreadable;
        FirmwareOffer offer;
        int answer;
    };
    const Case cases[] = {
        {"an older application, declined", 107, Personality::Application, true, false, FirmwareOffer::Ask,
         wxID_NO},
        {"up to date", 108, Personality::Application, true, false, FirmwareOffer::None, wxID_YES},
        {"in its bootloader, declined", 107, Personality::Bootloader, true, false, FirmwareOffer::Ask,
         wxID_NO},
        {"in its bootloader without firmware, accepted", 107, Personality::Bootloader, false, false,
         FirmwareOffer::Ask, wxID_YES},
        {"in its bootloader, the firmware version unreadable", 107, Personality::Bootloader, true, true,
         FirmwareOffer::WithoutAsking, wxID_NO},
    };
    FwFile image{};
    ASSERT_EQ(GetFwFile(0x0901, 3, 0, &image), 1);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string serial = "FO00000" + std::to_string(++n);
        UserSettings().ForgetRefusedFirmwareVersion(serial);
        VirtualUnit& unit = Plug(c.generation, serial, c.personality, 0x0901, c.validApplication);
        if (c.firmwareUnreadable) {
            FaultSpec stall;  // the boot version is read, the firmware version fails
            stall.target = 0x01;
            stall.skip = 1;
            unit.AddFault(stall);
        }
        const bool updates = c.offer == FirmwareOffer::WithoutAsking ||
                             (c.offer == FirmwareOffer::Ask && c.answer == wxID_YES);
        ModalAnswerer answers(c.answer);
        frame->AutoConnect();
        if (updates) {
            ASSERT_TRUE(RunEventsUntil(
                [&] { return Dialog() != nullptr && Dialog()->GetCloseButton()->IsEnabled(); }, 15000));
            EXPECT_EQ(DialogLines().back(), "Firmware update finished successfully.");
            ExpectFlashHoldsTheImage(unit);
            EXPECT_EQ(frame->GetDevice()->GetVersion(), 108);
            EXPECT_TRUE(frame->IsLiveTimerRunning()) << "reconnected and read";
        } else {
            Pump();
            EXPECT_EQ(Dialog(), nullptr);
            EXPECT_EQ(frame->GetDevice()->GetDeviceMode(), c.personality == Personality::Bootloader ? 1 : 0);
            EXPECT_EQ(frame->IsLiveTimerRunning(), c.personality == Personality::Application)
                << "read and polled";
        }
        ASSERT_EQ(answers.shown.size(), c.offer == FirmwareOffer::Ask ? 1u : 0u);
        if (c.offer == FirmwareOffer::Ask) {
            EXPECT_EQ(answers.shown[0].caption, "Firmware update");
            EXPECT_EQ(answers.shown[0].message, kOfferText);
        }
        const bool declined = c.offer == FirmwareOffer::Ask && c.answer == wxID_NO;
        EXPECT_EQ(UserSettings().ReadRefusedFirmwareVersion(serial),
                  declined ? std::optional<long>(image.version) : std::nullopt);
        if (declined && c.personality == Personality::Application) {
            ModalAnswerer again(wxID_NO);
            Launch();
            EXPECT_TRUE(again.shown.empty()) << "asked again for a declined version";
        }
        if (c.personality == Personality::Bootloader && !c.validApplication) {
            EXPECT_EQ(DialogLines(),
                      (std::vector<wxString>{
                          "Current boot version: 0003.0901.0102.",
                          "The firmware is missing.",
                          "Firmware is gonna be updated to version: 0003.0901.0108.",
                          "Upgrading firmware, do NOT disconnect the device from the PC during "
                          "upgrade process!!",
                          "Bootloader is being active.",
                          "Deleting flash memory.",
                          "Flashing a new firmware...",
                          "Flashing done.",
                          "Waiting for application...",
                          "Firmware update finished successfully.",
                      }));
        }
        if (Dialog() != nullptr) {
            SendCommand(Dialog()->GetCloseButton(), wxEVT_BUTTON);
            Pump();
        }
        UnplugAll();
    }
}

TEST_F(FirmwareOnBus, UpdateCommandEndToEnd)
{
    VirtualUnit& unit = Plug(107, "FO000006");
    UserSettings().WriteRefusedFirmwareVersion("FO000006", 0x0108);
    Launch();
    ASSERT_FALSE(IsSimulated(frame));

    // How long the window goes without handling events meanwhile.
    wxTimer heartbeat;
    auto last = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration longestGap{};
    heartbeat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const auto now = std::chrono::steady_clock::now();
        longestGap = std::max(longestGap, now - last);
        last = now;
    });
    heartbeat.Start(20);
    last = std::chrono::steady_clock::now();
    RunMenuCommand(frame, "idFirmwareUpdate");
    heartbeat.Stop();

    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(DialogLines(), kUpdateLines);
    EXPECT_EQ(Dialog()->GetGauge()->GetValue(), 100);
    EXPECT_TRUE(Dialog()->GetCloseButton()->IsEnabled());
    ExpectFlashHoldsTheImage(unit);
    EXPECT_EQ(frame->GetDevice()->GetVersion(), 108) << "reconnected to the new application";
    RecordProperty("longest_event_gap_ms",
                   std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(longestGap).count()));
    EXPECT_LT(longestGap, std::chrono::milliseconds(1000)) << "the window stopped handling events";

    SendCommand(Dialog()->GetCloseButton(), wxEVT_BUTTON);
    Pump();
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(dynamic_cast<FwUpdateDialog*>(wxLog::GetActiveTarget()), nullptr);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_EQ(frame->GetDevice()->GetSerialNumber(), "FO000006");
    EXPECT_TRUE(frame->GetDevice()->IsOpen());
    EXPECT_TRUE(frame->IsLiveTimerRunning());
}

// A request that fails while the window is the log target: the window shows
// the update's own lines only, even with the failure records let through, and
// the failure goes to the user's log file.
TEST_F(FirmwareOnBus, FailedUpdateShowsItsErrorLogsTheFailureAndFallsBackToTheSimulator)
{
    char folder[] = "/tmp/vantrel-state-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string state = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    setenv("XDG_STATE_HOME", folder, 1);
    wxLog::AddTraceMask(FAILURE_TRACE_MASK);
    VirtualUnit& unit = Plug(107, "FO000007");
    UserSettings().WriteRefusedFirmwareVersion("FO000007", 0x0108);
    Launch();
    FaultSpec stall;
    stall.kind = FaultKind::Stall;
    stall.target = REQ_FLASH;  // the erase
    unit.AddFault(stall);

    RunMenuCommand(frame, "idFirmwareUpdate");
    wxLog::RemoveTraceMask(FAILURE_TRACE_MASK);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    ASSERT_NE(Dialog(), nullptr);
    std::vector<wxString> lines(kUpdateLines.begin(), kUpdateLines.begin() + 6);
    lines.insert(lines.end(),
                 {"It was not possible to erase flash memory, error: -9.", "Firmware update failed!"});
    EXPECT_EQ(DialogLines(), lines);
    EXPECT_TRUE(IsSimulated(frame));
    EXPECT_TRUE(frame->GetDevice()->IsOpen());
    EXPECT_EQ(Dialog()->GetGauge()->GetValue(), 100);
    EXPECT_TRUE(Dialog()->GetCloseButton()->IsEnabled());
    Pump();
    EXPECT_NE(Dialog(), nullptr) << "the window stays for the user to read";
    std::stringstream text;
    text << std::ifstream(std::filesystem::path(folder) / "vantrelstudio" / "vantrel.log").rdbuf();
    EXPECT_NE(
        text.str().find(" erase flash (0x02 OUT) failed: LIBUSB_ERROR_PIPE; returned -9 to the caller\n"),
        std::string::npos)
        << text.str();
    std::filesystem::remove_all(folder);
}

TEST_F(FirmwareOnBus, NothingToDo)
{
    struct Case {
        uint16_t generation;
        uint16_t hardware;
        std::vector<wxString> lines;
    };
    const Case cases[] = {
        {108,
         0x0901,
         {"Current boot version: 0003.0901.0102.", "Current firmware version: 0003.0901.0108.",
          "Firmware is up to date."}},
        {107,
         0x0903,
         {"Current boot version: 0003.0903.0102.", "Current firmware version: 0003.0903.0107.",
          "No update available."}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.back());
        UnplugAll();
        VirtualUnit& unit =
            Plug(c.generation, "FO00001" + std::to_string(n++), Personality::Application, c.hardware);
        Launch();
        VantrelBase* before = frame->GetDevice();
        RunMenuCommand(frame, "idFirmwareUpdate");
        ASSERT_NE(Dialog(), nullptr);
        EXPECT_EQ(DialogLines(), c.lines);
        EXPECT_TRUE(Dialog()->GetCloseButton()->IsEnabled());
        EXPECT_EQ(frame->GetDevice(), before) << "the connection is untouched";
        EXPECT_TRUE(unit.FlashLog().empty());
        SendCommand(Dialog()->GetCloseButton(), wxEVT_BUTTON);
        Pump();
        EXPECT_EQ(Dialog(), nullptr);
    }
}

// A close request that the update's yields deliver waits until the command
// has ended; the update finishes and the window then goes.
TEST_F(FirmwareOnBus, CloseRequestDuringTheUpdateIsHeld)
{
    VirtualUnit& unit = Plug(107, "FO000020");
    UserSettings().WriteRefusedFirmwareVersion("FO000020", 0x0108);
    Launch();
    int requests = 0;
    frame->SetUpdatePacing({[&] {
                                if (requests < 2 && Dialog() != nullptr) {
                                    ++requests;
                                    EXPECT_FALSE(Dialog()->Close()) << "closed under the update";
                                }
                                DefaultUpdateYield();
                            },
                            {}});
    RunMenuCommand(frame, "idFirmwareUpdate");
    frame->SetUpdatePacing({});
    EXPECT_EQ(requests, 2);
    Pump();
    EXPECT_EQ(Dialog(), nullptr);
    ExpectFlashHoldsTheImage(unit);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_EQ(frame->GetDevice()->GetSerialNumber(), "FO000020");
    EXPECT_EQ(frame->GetDevice()->GetVersion(), 108);
}

namespace {

// Stands in for the main window's close handling during one test.
struct CloseWatch {
    bool reached = false;
    void OnClose(wxCloseEvent& event)
    {
        reached = true;
        if (event.CanVeto()) {
            event.Veto();
        }
    }
};

}  // namespace

// The update's waits keep the event loop running: a timer ticks in every wait
// while the main window stays disabled, and what the loop could deliver to the
// main window meanwhile (Read, Connect, a close request) is turned away, so
// nothing else talks to the unit or replaces the connection under the update.
TEST_F(FirmwareOnBus, WaitsRunTheEventLoopAndTurnAwayTheMainWindowsCommands)
{
    VirtualUnit& unit = Plug(107, "FO000021");
    UserSettings().WriteRefusedFirmwareVersion("FO000021", 0x0108);
    Launch();
    ModalAnswerer answerer;
    CloseWatch close;
    frame->Bind(wxEVT_CLOSE_WINDOW, &CloseWatch::OnClose, &close);

    std::vector<int> ticksPerWait;
    bool waiting = false;
    bool enabledWhileWaiting = false;
    size_t requestsAfterCommands = 0;
    size_t requestsBeforeCommands = 0;
    wxTimer ticker;
    ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!waiting) {
            return;
        }
        enabledWhileWaiting = enabledWhileWaiting || frame->IsEnabled();
        if (++ticksPerWait.back() == 1 && ticksPerWait.size() == 2) {
            requestsBeforeCommands = unit.RequestLog().size();
            RunMenuCommand(frame, "idReadConfiguration");
            RunMenuCommand(frame, "idConnect");
            EXPECT_FALSE(frame->Close());
            requestsAfterCommands = unit.RequestLog().size();
        }
    });
    std::vector<double> waitedMs;
    frame->SetUpdatePacing(
        {{}, [&](uint32_t milliseconds) {
             ticksPerWait.push_back(0);
             waiting = true;
             const auto start = std::chrono::steady_clock::now();
             DefaultUpdateSleep(milliseconds);
             waitedMs.push_back(
                 std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
             waiting = false;
         }});
    ticker.Start(10);
    RunMenuCommand(frame, "idFirmwareUpdate");
    ticker.Stop();
    frame->SetUpdatePacing({});
    frame->Unbind(wxEVT_CLOSE_WINDOW, &CloseWatch::OnClose, &close);

    ASSERT_GE(ticksPerWait.size(), 2u) << "a wait for the bootloader and one for the application";
    for (size_t wait = 0; wait < ticksPerWait.size(); ++wait) {
        EXPECT_GE(ticksPerWait[wait], 10) << "wait " << wait + 1 << " let the timer tick";
        // A restarting unit is given its full half second per attempt.
        EXPECT_GE(waitedMs[wait], 500.0) << "wait " << wait + 1;
        EXPECT_LT(waitedMs[wait], 1000.0) << "wait " << wait + 1;
    }
    EXPECT_FALSE(enabledWhileWaiting);
    EXPECT_FALSE(close.reached);
    EXPECT_TRUE(answerer.shown.empty()) << answerer.shown.front().caption;
    EXPECT_EQ(requestsAfterCommands, requestsBeforeCommands);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(DialogLines(), kUpdateLines);
    ExpectFlashHoldsTheImage(unit);
    EXPECT_EQ(frame->GetDevice()->GetSerialNumber(), "FO000021");
    EXPECT_EQ(frame->GetDevice()->GetVersion(), 108);
    SendCommand(Dialog()->GetCloseButton(), wxEVT_BUTTON);
    Pump();
    EXPECT_TRUE(frame->IsEnabled());
}

// While the gate stands, the ticks of the two given timers, menu commands and
// close requests of the given window go nowhere (a close request is vetoed);
// other timers and other windows' close requests pass. Without it all arrive.
TEST(UpdateGate, TurnsAwayTheMainWindowsTimersCommandsAndCloseOnly)
{
    wxFrame* window = new wxFrame(nullptr, wxID_ANY, "gate");
    wxFrame* other = new wxFrame(nullptr, wxID_ANY, "other");
    wxTimer live;
    wxTimer warmUp;
    wxTimer heartbeat;
    int ticks[3] = {0, 0, 0};
    live.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks[0]; });
    warmUp.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks[1]; });
    heartbeat.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks[2]; });
    int commands = 0;
    window->Bind(wxEVT_MENU, [&](wxCommandEvent&) { ++commands; });
    int closes[2] = {0, 0};
    window->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        ++closes[0];
        event.Veto();
    });
    other->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
        ++closes[1];
        event.Veto();
    });
    auto deliverAll = [&] {
        live.Notify();
        warmUp.Notify();
        heartbeat.Notify();
        wxCommandEvent command(wxEVT_MENU, XRCID("idReadConfiguration"));
        command.SetEventObject(window);
        window->ProcessWindowEvent(command);
        EXPECT_FALSE(window->Close());
        EXPECT_FALSE(other->Close());
    };
    {
        UpdateEventGate gate(*window, live, warmUp);
        deliverAll();
        EXPECT_EQ(gate.TurnedAway(), 4);
    }
    EXPECT_EQ(ticks[0] + ticks[1] + commands + closes[0], 0);
    EXPECT_EQ(ticks[2], 1);
    EXPECT_EQ(closes[1], 1);
    deliverAll();  // the gate is gone
    EXPECT_EQ(ticks[0] + ticks[1] + commands + closes[0], 4);
    window->Destroy();
    other->Destroy();
    Pump();
}
