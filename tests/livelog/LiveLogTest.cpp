// The live log's file: what the writer puts in it reads back the same, the
// writer's rows reach the disk while it runs, and logs that are not ours, cut
// short or damaged give a message naming their first bad line while their
// readable rows are kept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "livelog/LogReader.h"
#include "livelog/LogWriter.h"

namespace {

std::string TempPath(const std::string& name)
{
    return (testing::TempDir() + "livelog-" + std::to_string(getpid()) + "-") + name;
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

LogRow Row(uint64_t ms, uint32_t rpm)
{
    LogRow row;
    row.ms = ms;
    row.wallClock = "2026-12-08 06:17:34.123";
    row.values.rpm = rpm;
    row.values.speed = 123;
    row.values.tpsVoltage = 2500;
    row.values.inputVoltage6 = 10950;
    row.values.inputShifter = 1;
    row.values.outputInjection = 1;
    row.values.gear = 4;
    row.values.powerFlag = true;
    row.values.rpmSpeedRatio = 57;
    row.values.supplyVoltage = 13800;
    for (size_t i = 0; i < LIVE_RAW_LENGTH; ++i) {
        row.raw[i] = static_cast<uint8_t>(i * 17 + ms);
    }
    return row;
}

std::string LogText(const std::vector<std::string>& lines)
{
    std::string text = LogHeader() + "\n";
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

}  // namespace

TEST(LiveLog, WrittenRowsReadBackWithTheirClosingLine)
{
    const std::string path = TempPath("roundtrip.csv");
    std::string error;
    auto writer = LogWriter::Create(path, error);
    ASSERT_NE(writer, nullptr) << error;
    std::vector<LogRow> rows = {Row(0, 1300), Row(100, 16000), Row(200, 0)};
    rows[2].values = LiveValues{};  // a blank report is a row too
    for (const LogRow& row : rows) {
        writer->Append(row);
    }
    writer->Finish(kLogDisconnectedLine);
    EXPECT_EQ(writer->Rows(), 3u);

    const std::string text = FileText(path);
    EXPECT_EQ(text.substr(0, text.find('\n')), LogHeader());
    EXPECT_NE(LogHeader().find("rpm [rpm],speed [km/h],throttle [mV]"), std::string::npos);
    EXPECT_NE(text.find("\n100,2026-12-08 06:17:34.123,16000,123,2500,"), std::string::npos) << text;

    const LogContents contents = ReadLog(path);
    EXPECT_TRUE(contents.isLog);
    EXPECT_FALSE(contents.problem.has_value()) << *contents.problem;
    EXPECT_EQ(contents.rows, rows);
    EXPECT_EQ(contents.closingLine, kLogDisconnectedLine);
    std::remove(path.c_str());
}

TEST(LiveLog, RowsReachTheFileWhileTheWriterRuns)
{
    const std::string path = TempPath("flush.csv");
    std::string error;
    auto writer = LogWriter::Create(path, error);
    ASSERT_NE(writer, nullptr) << error;
    writer->Append(Row(0, 5000));
    // A crash now must not lose more than the last second.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const LogContents meanwhile = ParseLog(FileText(path));
    ASSERT_EQ(meanwhile.rows.size(), 1u);
    EXPECT_EQ(meanwhile.rows[0].values.rpm, 5000u);
    EXPECT_TRUE(meanwhile.closingLine.empty());
    writer.reset();  // closes with the plain closing line
    EXPECT_EQ(ReadLog(path).closingLine, kLogStoppedLine);
    std::remove(path.c_str());
}

TEST(LiveLog, UnwritableFolderGivesTheReasonAndNoFile)
{
    const std::string notAFolder = TempPath("plain-file");
    std::ofstream(notAFolder) << "x";
    std::string error;
    EXPECT_EQ(LogWriter::Create(notAFolder + "/log.csv", error), nullptr);
    EXPECT_EQ(error, "Not a directory");
    // An existing log is never overwritten.
    error.clear();
    EXPECT_EQ(LogWriter::Create(notAFolder, error), nullptr);
    EXPECT_EQ(error, "File exists");
    EXPECT_EQ(FileText(notAFolder), "x");
    std::remove(notAFolder.c_str());
}

TEST(LiveLog, BadLogsNameTheirFirstBadLineAndKeepTheReadableRows)
{
    const std::string good0 = FormatLogRow(Row(0, 2000));
    const std::string good1 = FormatLogRow(Row(100, 3000));
    const std::string good2 = FormatLogRow(Row(200, 4000));
    const std::string closing(kLogStoppedLine);
    struct Case {
        const char* what;
        std::string text;
        bool isLog;
        size_t rows;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"another CSV", "a,b,c\n1,2,3\n", false, 0,
         "This file is not a VantrelStudio live log: line 1 is not the header of one."},
        {"empty", "", false, 0, "This file is not a VantrelStudio live log: it is empty."},
        {"a field too few", LogText({good0, good1.substr(0, good1.rfind(',')), good2, closing}), true, 2,
         "Line 3 of the log is malformed; the 2 readable rows can be replayed."},
        {"a word for a number", LogText({good0, good1, Replaced(good2, ",4000,", ",four,"), closing}), true,
         2, "Line 4 of the log is malformed; the 2 readable rows can be replayed."},
        {"time running back", LogText({good0, good2, good1, closing}), true, 2,
         "Line 4 of the log is malformed; the 2 readable rows can be replayed."},
        {"two rows at the same millisecond (a merged log)",
         LogText({good0, good1, FormatLogRow(Row(100, 3500)), good2, closing}), true, 4, "(none)"},
        {"a row after the closing line", LogText({good0, closing, good1}), true, 1,
         "Line 4 of the log is malformed; the 1 readable row can be replayed."},
        {"cut in a row", LogText({good0, good1}) + good2.substr(0, 40), true, 2,
         "The log is truncated: line 4 is incomplete; the 2 readable rows can be replayed."},
        {"no closing line", LogText({good0, good1, good2}), true, 3,
         "The log is truncated after line 4: it has no closing line; the 3 readable rows can be replayed."},
        {"raw bytes cut", LogText({good0, good1.substr(0, good1.size() - 3), closing}), true, 1,
         "Line 3 of the log is malformed; the 1 readable row can be replayed."},
    };
    for (const Case& c : cases) {
        const LogContents contents = ParseLog(c.text);
        EXPECT_EQ(contents.isLog, c.isLog) << c.what;
        EXPECT_EQ(contents.rows.size(), c.rows) << c.what;
        EXPECT_EQ(contents.problem.value_or("(none)"), c.problem) << c.what;
    }
    // Line ends of a spreadsheet that saved the file again are fine.
    std::string crlf = LogText({good0, closing});
    for (size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) {
        crlf.insert(at, "\r");
    }
    const LogContents resaved = ParseLog(crlf);
    EXPECT_FALSE(resaved.problem.has_value());
    EXPECT_EQ(resaved.rows.size(), 1u);
}

TEST(LiveLog, DefaultFileNameCarriesSerialAndStartTime)
{
    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mon = 11;
    start.tm_mday = 8;
    start.tm_hour = 6;
    start.tm_min = 17;
    start.tm_sec = 34;
    start.tm_isdst = -1;
    const std::time_t time = std::mktime(&start);
    EXPECT_EQ(DefaultLogFileName("VT000123", time), "vantrel-log-VT000123-20261208-061734.csv");
    EXPECT_EQ(DefaultLogFileName("a/b c", time), "vantrel-log-a_b_c-20261208-061734.csv");
    EXPECT_EQ(WallClockText(time, 7), "2026-12-08 06:17:34.007");
}

// The columns as a spreadsheet sees them: the header of the program's logs,
// each value in its own column, and the flags each in theirs.
TEST(LiveLog, EachValueHasItsOwnColumn)
{
    EXPECT_EQ(
        LogHeader(),
        "time [ms],wall clock [local time],rpm [rpm],speed [km/h],throttle [mV],gear sensor [mV],"
        "input 1 [mV],input 2 [mV],input 3 [mV],input 4 [mV],input 5 [mV],input 6 [mV],"
        "in shifter [on/off],in blipper [on/off],in warm-up [on/off],in pit [on/off],in clutch [on/off],"
        "in deactivation [on/off],out rpm LED [on/off],out blipper [on/off],out ignition cut [on/off],"
        "out injection cut [on/off],gear [number],power [on/off],rpm/speed ratio [number],supply [mV],"
        "raw report [hex]");
    LogRow row;
    row.ms = 100;
    row.wallClock = "2026-12-08 06:17:34.123";
    LiveValues& v = row.values;
    v.rpm = 8130, v.speed = 87, v.tpsVoltage = 2350, v.gearVoltage = 3100;
    v.inputVoltage1 = 150, v.inputVoltage2 = 1200, v.inputVoltage3 = 4950;
    v.inputVoltage4 = 9900, v.inputVoltage5 = 450, v.inputVoltage6 = 13550;
    v.gear = 3, v.rpmSpeedRatio = 57, v.supplyVoltage = 13800;
    row.raw = {0x9C, 0x43, 0,    0, 0x11, 0x75, 0xE6, 0xE6, 0xE6, 0xE6,
               0x0A, 0x0A, 0x10, 0, 0,    0x01, 0,    0,    0xB1};
    EXPECT_EQ(FormatLogRow(row),
              "100,2026-12-08 06:17:34.123,8130,87,2350,3100,150,1200,4950,9900,450,13550,"
              "0,0,0,0,0,0,0,0,0,0,3,0,57,13800,9C 43 00 00 11 75 E6 E6 E6 E6 0A 0A 10 00 00 01 00 00 B1");

    uint32_t LiveValues::*const flags[] = {&LiveValues::inputShifter,   &LiveValues::inputBlipper,
                                           &LiveValues::inputWarmUp,    &LiveValues::inputPit,
                                           &LiveValues::inputClutch,    &LiveValues::inputDeactivation,
                                           &LiveValues::outputRpmLed,   &LiveValues::outputBlipper,
                                           &LiveValues::outputIgnition, &LiveValues::outputInjection};
    // The on/off columns are 12 to 21 and 23 (power).
    auto flagColumns = [](const LogRow& one) {
        std::vector<std::string> fields;
        std::stringstream line(FormatLogRow(one));
        for (std::string field; std::getline(line, field, ',');)
            fields.push_back(field);
        std::string shown;
        for (int column : {12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 23})
            shown += fields.at(column);
        return shown;
    };
    for (size_t flag = 0; flag <= std::size(flags); ++flag) {
        LogRow one = row;
        if (flag < std::size(flags))
            one.values.*flags[flag] = 1;
        else
            one.values.powerFlag = true;
        std::string expected(std::size(flags) + 1, '0');
        expected[flag] = '1';
        EXPECT_EQ(flagColumns(one), expected) << flag;
    }
}

TEST(LiveLog, RowsReachTheDiskAtLeastFourTimesASecond)
{
    const std::string path = TempPath("pace.csv");
    std::string error;
    auto writer = LogWriter::Create(path, error);
    ASSERT_NE(writer, nullptr) << error;
    // A poll every 20 ms for 1.5 s; the longest the file stands still is the
    // most a crash could lose.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    std::vector<Clock::time_point> grown;
    uintmax_t size = std::filesystem::file_size(path);
    for (uint64_t ms = 0; Clock::now() - start < std::chrono::milliseconds(1500); ms += 20) {
        writer->Append(Row(ms, 3000));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::filesystem::file_size(path) != size) {
            size = std::filesystem::file_size(path);
            grown.push_back(Clock::now());
        }
    }
    writer.reset();
    std::remove(path.c_str());
    ASSERT_GE(grown.size(), 4u);
    Clock::duration longest{};
    for (size_t i = 1; i < grown.size(); ++i)
        longest = std::max(longest, grown[i] - grown[i - 1]);
    // A quarter second, and room for a busy machine.
    EXPECT_LT(longest, std::chrono::milliseconds(400));
}
