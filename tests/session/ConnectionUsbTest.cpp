// A program's one connection: replaced as a whole, never left empty; what it
// enables, and the poll of its unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <wx/log.h>

#include "VirtualUnitFixture.h"
#include "device/DeviceRequests.h"
#include "device/DeviceResult.h"
#include "device/Features.h"
#include "session/CommandEnabling.h"
#include "session/Connection.h"
#include "session/FailureLog.h"
#include "session/LivePoll.h"

namespace {

class ReplacingTheConnection : public VirtualUnitTest {
protected:
    static bool IsOpenSimulated(const Connection& connection)
    {
        return connection->IsOpen() && connection->GetFeature(FEATURE_SIMULATED) > 0;
    }
};

TEST_F(ReplacingTheConnection, FreesTheUnitBeforeTheNextOneOpens)
{
    VirtualUnit& unit = Plug({});
    const UsbDevice& record = RecordOf(unit);
    Connection connection;
    EXPECT_TRUE(IsOpenSimulated(connection));

    EXPECT_EQ(connection.ReplaceWith(record).outcome, ConnectOutcome::Opened);
    EXPECT_EQ(connection->GetSerialNumber(), unit.Serial());
    // The unit's interface belongs to one open connection at a time: the
    // connection to it must be gone before the builder runs.
    bool builderOpened = false;
    EXPECT_EQ(connection
                  .Replace([&] {
                      builderOpened = VantrelBase(record).Open();
                      return std::make_unique<VantrelBase>(record);
                  })
                  .outcome,
              ConnectOutcome::Opened);
    EXPECT_TRUE(builderOpened);
    VersionTriple firmware;
    EXPECT_EQ(connection->GetFirmwareVersion(&firmware), DEVICE_OK);

    connection.ReplaceWithSimulated();
    EXPECT_TRUE(IsOpenSimulated(connection));
    EXPECT_TRUE(VantrelBase(record).Open());
}

TEST_F(ReplacingTheConnection, FallsBackToTheOpenedSimulatedConnection)
{
    VirtualUnit& held = Plug({});
    const UsbDevice& heldRecord = RecordOf(held);
    UnitOptions notUnit;
    notUnit.deviceClass = 0x00;  // the unit's ids, but not its class: it does not open
    const UsbDevice& notUnitRecord = RecordOf(Plug(notUnit));

    struct Case {
        const char* name;
        Connection::Builder build;
        ConnectOutcome outcome;
    };
    const Case cases[] = {
        {"nothing to connect to", [] { return std::unique_ptr<VantrelBase>(); }, ConnectOutcome::NoDevice},
        {"unknown personality",
         []() -> std::unique_ptr<VantrelBase> { throw std::runtime_error("unknown device subclass"); },
         ConnectOutcome::NotBuilt},
        {"does not open", [&] { return std::make_unique<VantrelBase>(notUnitRecord); },
         ConnectOutcome::NotOpened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connection connection;
        ASSERT_EQ(connection.ReplaceWith(heldRecord).outcome, ConnectOutcome::Opened);
        const ConnectResult result = connection.Replace(c.build);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(IsOpenSimulated(connection));
        // The unit held before is closed, not merely forgotten.
        EXPECT_TRUE(VantrelBase(heldRecord).Open());
    }
}

// What a connection enables follows what it answers about itself (the rule:
// CommandEnablingTest.cpp): the simulated unit, the generations that differ
// in lock and warm-up, and a unit in its bootloader.
TEST_F(ReplacingTheConnection, EnablesWhatEachKindOfUnitCan)
{
    using L = ConnectionLed;
    struct Case {
        uint16_t generation;  // 0: the simulated unit
        Personality personality;
        CommandEnabling enabling;  // {readWrite, lock, firmwareUpdate, newAndEditors, warmUp, led}
    };
    const Case cases[] = {
        {0, Personality::Application, {false, false, false, true, false, L::Unlit}},
        {101, Personality::Application, {true, false, true, true, false, L::UnitReady}},
        {104, Personality::Application, {true, false, true, true, true, L::UnitReady}},
        {105, Personality::Application, {true, true, true, true, true, L::UnitReady}},
        {107, Personality::Application, {true, true, true, true, true, L::UnitReady}},
        {108, Personality::Bootloader, {false, false, true, false, false, L::Bootloader}},
    };
    for (const Case& c : cases) {
        Connection connection;
        if (c.generation != 0) {
            UnitOptions options;
            options.generation = c.generation;
            options.personality = c.personality;
            ASSERT_EQ(connection.ReplaceWith(RecordOf(Plug(options))).outcome, ConnectOutcome::Opened);
        }
        EXPECT_EQ(EnablingFor(FactsOf(*connection)), c.enabling) << c.generation;
    }
}

// The poll of a unit on the bus: a good report reaches every listener, the
// reads' failures are counted as DeviceErrorCount bears them
// (LivePollTest.cpp), and the read that gives the unit up says so.
TEST_F(ReplacingTheConnection, LivePollHandsReportsOnAndGivesTheUnitUpAtTheFourthFailureInARow)
{
    VirtualUnit& unit = Plug({});
    const std::vector<uint8_t> report = {0x39, 0x47, 0xE8, 0x03, 58, 57, 100, 0, 23, 128,
                                         1,    0,    0x2A, 0x05, 9,  1,  57,  0, 160};
    unit.SetFixedReport(report);
    Connection connection;
    ASSERT_EQ(connection.ReplaceWith(RecordOf(unit)).outcome, ConnectOutcome::Opened);
    LivePoll poll(connection);
    std::vector<LiveRaw> heard[2];
    for (std::vector<LiveRaw>& listener : heard)
        poll.Listen([&listener](const LiveValues&, const LiveRaw& raw) { listener.push_back(raw); });
    struct Read {
        bool fails;
        int32_t count;  // after the read
        bool keepsTheUnit;
    };
    const Read reads[] = {{false, 0, true}, {true, 1, true}, {true, 2, true}, {true, 3, true},
                          {false, 2, true}, {true, 3, true}, {true, 3, false}};
    size_t good = 0;
    for (size_t i = 0; i < std::size(reads); ++i) {
        if (reads[i].fails)
            unit.AddFault(Fault(FaultKind::Stall, FAULT_LIVE_ENDPOINT));
        EXPECT_EQ(poll.Read(), reads[i].keepsTheUnit) << "read " << i;
        EXPECT_EQ(poll.Errors().Count(), reads[i].count) << "read " << i;
        good += reads[i].fails ? 0 : 1;
        for (const std::vector<LiveRaw>& listener : heard)
            ASSERT_EQ(listener.size(), good) << "read " << i;
    }
    EXPECT_TRUE(std::equal(report.begin(), report.end(), heard[1].back().begin()));
}

class CaptureLog : public wxLog {
public:
    std::vector<std::pair<wxLogLevel, std::string>> records;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override
    {
        records.emplace_back(level, msg.utf8_string());
    }
};

// A connection installs the sink that hands the failures of the unit's
// requests to the toolkit's log (the firmware window's test checks the file).
TEST_F(ReplacingTheConnection, PassesTheRequestsFailuresToTheToolkitAsTraceRecords)
{
    CaptureLog capture;
    wxLog* const before = wxLog::SetActiveTarget(&capture);
    wxLog::AddTraceMask(FAILURE_TRACE_MASK);
    UnitOptions options;
    options.generation = 105;
    VirtualUnit& unit = Plug(options);
    Connection connection;
    ASSERT_EQ(connection.ReplaceWith(RecordOf(unit)).outcome, ConnectOutcome::Opened);
    unit.AddFault(Fault(FaultKind::Stall, REQ_LOCK));
    EXPECT_EQ(connection->SetLockState(LOCK_LOCKED), -9);
    wxLog::RemoveTraceMask(FAILURE_TRACE_MASK);
    wxLog::SetActiveTarget(before);

    ASSERT_EQ(capture.records.size(), 1u);
    EXPECT_EQ(capture.records[0].first, wxLOG_Trace);
    // The toolkit puts the mask in front.
    EXPECT_EQ(
        capture.records[0].second,
        "(vantrel-requests) set lock state (0x04 OUT, value 1) failed: LIBUSB_ERROR_PIPE; returned -9 to the "
        "caller");
}

}  // namespace
