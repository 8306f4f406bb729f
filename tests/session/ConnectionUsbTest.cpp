// A program's one connection: replaced as a whole, never left empty.
#include <gtest/gtest.h>

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
#include "session/Connection.h"
#include "session/FailureLog.h"

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
