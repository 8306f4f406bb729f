// vantrel against virtual units through the real libusb: each command as a
// user runs it, with the exit status, the data and the messages it gives.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "VirtualUnitFixture.h"
#include "cli/ExitStatus.h"
#include "cli/Vantrel.h"
#include "device/DeviceRequests.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/VantrelBase.h"
#include "history/HistoryStore.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

class Vantrel : public VirtualUnitTest {
protected:
    void SetUp() override
    {
        VirtualUnitTest::SetUp();
        folder = fs::path(testing::TempDir()) /
                 ("vantrel-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    }

    // `input` answers a question; `terminal` makes standard input and error terminals.
    static Result Run(const std::vector<std::string>& args, const std::string& input = "",
                      bool terminal = false, const UpdatePacing& pacing = {})
    {
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(input);
        const Console console{out, err, in, terminal, terminal, STDOUT_FILENO, pacing};
        const int status = RunVantrel(args, console);
        return {status, out.str(), err.str()};
    }

    // A unit, once the program can see it.
    VirtualUnit& Attach(UnitOptions options = {})
    {
        VirtualUnit& unit = Plug(options);
        RecordOf(unit);
        return unit;
    }

    std::string File(const std::string& name) const { return (folder / name).string(); }

    static std::vector<std::string> Events(const VirtualUnit& unit)
    {
        std::vector<std::string> events;
        for (const HistoryEntry& entry : HistoryStore(DefaultHistoryRoot()).List(unit.Serial()))
            events.push_back(entry.record.event);
        return events;
    }

    // The newest entry of `event` (the backup kept before a change).
    static std::string EntryPath(const VirtualUnit& unit, const std::string& event)
    {
        for (const HistoryEntry& entry : HistoryStore(DefaultHistoryRoot()).List(unit.Serial()))
            if (entry.record.event == event)
                return entry.path.string();
        return {};
    }

    // Reads the unit into `name` and sets one key of the file.
    std::string ReadAndSet(const std::string& name, const std::string& key, const std::string& value)
    {
        EXPECT_EQ(Run({"read", "-o", File(name)}).status, kExitSuccess);
        std::ifstream in(File(name));
        std::string text;
        for (std::string line; std::getline(in, line);)
            text += (line.starts_with(key + "=") ? key + "=" + value : line) + "\n";
        std::ofstream(File(name)) << text;
        return File(name);
    }

    fs::path folder;
};

UnitOptions OfGeneration(uint16_t generation)
{
    UnitOptions options;
    options.generation = generation;
    return options;
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST_F(Vantrel, ReadsWritesAndComparesAUnit)
{
    const VirtualUnit& unit = Attach();
    const std::string original = File("original.vtn");
    ASSERT_EQ(Run({"read", "-o", original}).status, kExitSuccess);
    const std::string changed = ReadAndSet("changed.vtn", "ShiftLightRPM", "11000");
    EXPECT_EQ(Run({"diff", changed, "unit"}).status, kExitDifferent);

    const Result write = Run({"write", changed, "--yes"});
    EXPECT_EQ(write.status, kExitSuccess) << write.err;
    EXPECT_TRUE(Has(write.out, "Shift light on at: 10000 \u2192 11002")) << write.out;
    // The file against the unit as it keeps it: the same.
    EXPECT_EQ(Run({"diff", changed, "unit"}).status, kExitSuccess);
    const Result keys = Run({"diff", "unit", original, "--keys"});
    EXPECT_EQ(keys.status, kExitDifferent);
    EXPECT_TRUE(Has(keys.out, "ShiftLightRPM 11002 10000\n")) << keys.out;
    EXPECT_EQ(Events(unit), (std::vector<std::string>{"write", "read", "read", "read"}));
    EXPECT_TRUE(Has(Run({"history"}).out, "  write  " + EntryPath(unit, "write")));
}

TEST_F(Vantrel, GivesTheExitStatusOfEachOutcome)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* said;  // in the messages or the data
    };
    const Case withoutUnit[] = {
        {{}, kExitUsage, "no command given"},
        {{"frobnicate"}, kExitUsage, "unknown command 'frobnicate'"},
        {{"read", "--json"}, kExitUsage, "read takes no --json"},
        {{"write"}, kExitUsage, "missing operand"},
        {{"log", "--seconds", "0"}, kExitUsage, "--seconds takes a whole number"},
        {{"write", "--help"}, kExitSuccess, "Usage: vantrel write FILE"},
        {{"--version"}, kExitSuccess, "vantrel 26.08.01\n"},
        {{"list"}, kExitNoUnit, "No unit is attached."},
        {{"read"}, kExitNoUnit, "No unit is attached."},
        {{"history"}, kExitNoUnit, "No unit is attached."},
    };
    for (const Case& c : withoutUnit) {
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << c.said;
        EXPECT_TRUE(Has(result.out + result.err, c.said)) << result.out << result.err;
    }

    VirtualUnit& unit = Attach(OfGeneration(105));
    const std::string file = ReadAndSet("a.vtn", "DelayBetweenShifting", "200");
    std::ofstream(File("notes.txt")) << "Shift at 11000.\n";
    const std::string invalid = ReadAndSet("invalid.vtn", "InputFeature2", "2");
    const Case withUnit[] = {
        {{"read", "--serial", "VT999999"}, kExitNoUnit, "No unit with the serial number VT999999"},
        {{"write", File("notes.txt"), "--yes"}, kExitRefused, "notes.txt is not a settings file"},
        {{"write", invalid, "--yes"},
         kExitRefused,
         "Input 1 and Input 2 have the same function and polarity"},
        {{"write", file}, kExitRefused, "Not confirmed: standard input is not a terminal"},
        {{"diff", "unit", file}, kExitDifferent, "Delay between shifts: 100 \u2192 200"},
        {{"lock", "--yes"}, kExitSuccess, "Locked the configuration"},
        {{"read"}, kExitRefused, "Configuration is locked"},
        {{"write", file, "--yes"}, kExitRefused, "Configuration is locked"},
    };
    for (const Case& c : withUnit) {
        const Result result = Run(c.args);
        EXPECT_EQ(result.status, c.status) << c.said;
        EXPECT_TRUE(Has(result.out + result.err, c.said)) << result.out << result.err;
    }
    EXPECT_NE(unit.LockByte(), 0);
}

TEST_F(Vantrel, ReadsToStandardOutputAndListsTheHistoryOfAnyUnit)
{
    VirtualUnit& unit = Attach();
    const Result read = Run({"read"});
    EXPECT_EQ(read.status, kExitSuccess);
    EXPECT_TRUE(read.out.starts_with("AppVersion=26.08.01\\n\\n\nInputFeature1=2\n")) << read.out;
    EXPECT_TRUE(Has(read.out, "\nWheelCircumference=2000\n")) << read.out;
    Bus().Unplug(unit);
    const Result history = Run({"history", "--serial", unit.Serial()});
    EXPECT_EQ(history.status, kExitSuccess);
    EXPECT_TRUE(Has(history.out, "  read  " + EntryPath(unit, "read") + "\n")) << history.out;
}

TEST_F(Vantrel, RefusesAUnitNewerThanItKnows)
{
    UnitOptions options;
    options.bcdDeviceOverride = 0x0109;
    Attach(options);
    const Result read = Run({"read"});
    EXPECT_EQ(read.status, kExitRefused);
    EXPECT_TRUE(Has(read.err, "The firmware 1.09 of unit")) << read.err;
}

TEST_F(Vantrel, AsksOnATerminal)
{
    Attach();
    const std::string file = ReadAndSet("a.vtn", "DelayBetweenBlipping", "200");
    const Result no = Run({"write", file}, "n\n", true);
    EXPECT_EQ(no.status, kExitRefused);
    EXPECT_TRUE(Has(no.err, "Do you really want to write configuration into device? [y/N]")) << no.err;
    EXPECT_EQ(Run({"diff", file, "unit"}).status, kExitDifferent);
    EXPECT_EQ(Run({"write", file}, "yes\n", true).status, kExitSuccess);
    EXPECT_EQ(Run({"diff", file, "unit"}).status, kExitSuccess);
}

TEST_F(Vantrel, ChoosesAmongSeveralUnitsBySerialNumber)
{
    const VirtualUnit& first = Attach();
    const VirtualUnit& second = Attach(OfGeneration(105));
    const Result unchosen = Run({"read"});
    EXPECT_EQ(unchosen.status, kExitNoUnit);
    EXPECT_TRUE(Has(unchosen.err, first.Serial()) && Has(unchosen.err, second.Serial())) << unchosen.err;

    const Result info = Run({"info", "--serial", second.Serial(), "--json"});
    EXPECT_EQ(info.status, kExitSuccess);
    EXPECT_TRUE(Has(info.out, "\"serial\":\"" + second.Serial() + "\"")) << info.out;
    EXPECT_TRUE(Has(info.out, "\"generation\":105,\"locked\":false")) << info.out;
    const Result list = Run({"list", "--json"});
    EXPECT_TRUE(Has(list.out, "\"serial\":\"" + first.Serial() +
                                  "\",\"mode\":\"application\",\"firmware\":\"1.08\"," +
                                  "\"bootloader\":\"1.00\""))
        << list.out;
}

TEST_F(Vantrel, UpdatesAUnitWaitingInItsBootloader)
{
    UnitOptions options;
    options.personality = Personality::Bootloader;
    options.bootloaderVersion = 101;
    const VirtualUnit& unit = Attach(options);
    EXPECT_EQ(Run({"read"}).status, kExitRefused);

    const Result update = Run({"update"}, "y\n", true);
    EXPECT_EQ(update.status, kExitSuccess) << update.err;
    // On a terminal the progress is a bar, redrawn in place.
    EXPECT_TRUE(Has(update.err, "\r[") && Has(update.err, "] 100%")) << update.err;
    EXPECT_TRUE(Has(update.err, "warning: Bootloader is being active.")) << update.err;
    EXPECT_EQ(unit.CurrentPersonality(), Personality::Application);
    EXPECT_EQ(unit.Generation(), 108);
    EXPECT_EQ(Events(unit), std::vector<std::string>{"update"});
}

TEST_F(Vantrel, RefusesStandInFirmware)
{
    Attach(OfGeneration(107));
    unsetenv("VANTREL_ALLOW_STANDIN_FIRMWARE");
    const bool standIns = !FirmwareImagesMayBeWritten();
    const Result update = Run({"update", "--yes"});
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);
    if (!standIns)
        GTEST_SKIP() << "this build carries real firmware images";
    EXPECT_EQ(update.status, kExitRefused);
    EXPECT_TRUE(Has(update.err, "stand-ins")) << update.err;
}

TEST_F(Vantrel, CablePulledDuringAWriteLeavesTheUnitAsItWas)
{
    VirtualUnit& unit = Attach();
    const std::string before = File("before.vtn");
    ASSERT_EQ(Run({"read", "-o", before}).status, kExitSuccess);
    const std::string file = ReadAndSet("a.vtn", "ShiftLightRPM", "12000");
    FaultSpec pull = Fault(FaultKind::Disconnect, REQ_CONFIG);
    pull.skip = 1;  // the backup's read goes first
    unit.AddFault(pull);

    const Result write = Run({"write", file, "--yes"});
    EXPECT_EQ(write.status, kExitUnitFailed);
    EXPECT_TRUE(Has(write.err, "write configuration (0x00 OUT, 212 bytes) failed: LIBUSB_ERROR_NO_DEVICE"))
        << write.err;
    EXPECT_EQ(Run({"diff", EntryPath(unit, "read"), before}).status, kExitSuccess);

    Bus().Replug(unit);
    RecordOf(unit);
    EXPECT_EQ(Run({"diff", before, "unit"}).status, kExitSuccess);
}

TEST_F(Vantrel, AWriteTheUnitDoesNotKeepIsAFailure)
{
    VirtualUnit& unit = Attach();
    const std::string file = ReadAndSet("a.vtn", "ShiftLightRPM", "12000");
    FaultSpec forget = Fault(FaultKind::Drop, REQ_CONFIG);
    forget.skip = 1;
    unit.AddFault(forget);

    const Result write = Run({"write", file, "--yes"});
    EXPECT_EQ(write.status, kExitUnitFailed);
    EXPECT_TRUE(Has(write.err, "holds something else than was written")) << write.err;
    EXPECT_TRUE(Has(write.err, "Shift light on at: 10000 \u2192 12000")) << write.err;
    EXPECT_EQ(Events(unit), (std::vector<std::string>{"read", "read", "read"}));
}

TEST_F(Vantrel, CablePulledDuringAnUpdateLeavesARecoverableUnit)
{
    VirtualUnit& unit = Attach(OfGeneration(107));
    const std::string before = File("before.vtn");
    ASSERT_EQ(Run({"read", "-o", before}).status, kExitSuccess);
    FaultSpec pull = Fault(FaultKind::Disconnect, REQ_FLASH);
    pull.skip = 100;
    unit.AddFault(pull);

    const Result update = Run({"update", "--yes"});
    EXPECT_EQ(update.status, kExitUnitFailed);
    EXPECT_TRUE(Has(update.err, "LIBUSB_ERROR_NO_DEVICE")) << update.err;
    const std::string backup = EntryPath(unit, "read");

    Bus().Replug(unit);
    RecordOf(unit);
    const Result again = Run({"update", "--yes"});
    EXPECT_EQ(again.status, kExitSuccess) << again.err;
    // Without a terminal: one line per step and no bar.
    EXPECT_FALSE(Has(again.err, "\r"));
    EXPECT_TRUE(Has(again.err, "\nFlashing a new firmware...\n")) << again.err;
    EXPECT_EQ(unit.Generation(), 108);
    EXPECT_EQ(Run({"diff", backup, "unit"}).status, kExitSuccess);
}

TEST_F(Vantrel, HoldsAnInterruptUntilTheUnitIsSafe)
{
    const VirtualUnit& unit = Attach(OfGeneration(107));
    bool sent = false;
    const UpdatePacing interrupting{[&sent] {
                                        if (!std::exchange(sent, true))
                                            kill(getpid(), SIGINT);
                                        DefaultUpdateYield();
                                    },
                                    {}};
    const Result update = Run({"update", "--yes"}, "", false, interrupting);
    EXPECT_EQ(update.status, kExitSuccess) << update.err;
    EXPECT_TRUE(Has(update.err, "Interrupt held: the update goes on until the unit is safe.")) << update.err;
    EXPECT_EQ(unit.Generation(), 108);
}

TEST_F(Vantrel, LogsLiveReportsUntilTheTimeIsUpOrTheUnitIsGone)
{
    VirtualUnit& unit = Attach();
    const auto lines = [](const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> all;
        for (std::string line; std::getline(in, line);)
            all.push_back(line);
        return all;
    };
    ASSERT_EQ(Run({"log", "-o", File("ride.csv"), "--seconds", "1"}).status, kExitSuccess);
    const std::vector<std::string> ride = lines(File("ride.csv"));
    EXPECT_GE(ride.size(), 8U);
    EXPECT_EQ(ride.back(), "# logging stopped");

    FaultSpec pull = Fault(FaultKind::Disconnect, FAULT_LIVE_ENDPOINT);
    pull.skip = 3;
    unit.AddFault(pull);
    EXPECT_EQ(Run({"log", "-o", File("pulled.csv"), "--seconds", "5"}).status, kExitUnitFailed);
    const std::vector<std::string> pulled = lines(File("pulled.csv"));
    EXPECT_EQ(pulled.size(), 5U);
    EXPECT_EQ(pulled.back(), "# unit disconnected, logging stopped");
}

}  // namespace
