// Writes the seed corpora of the log and history fuzzers with the program's
// own writers (LogWriter, HistoryStore::Keep). Run it again when what they
// write changes:  fuzz_write_seeds tests/fuzz/corpus
#include <wx/init.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "history/HistoryStore.h"
#include "livelog/LogWriter.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A ride: rpm rising through the gears, a shift every fourth report.
LogRow Report(uint64_t ms, int at)
{
    LogRow row;
    row.ms = ms;
    row.wallClock =
        WallClockText(1796703454 + static_cast<std::time_t>(ms / 1000), static_cast<int>(ms % 1000));
    LiveValues& v = row.values;
    v.rpm = 4000 + 900 * static_cast<uint32_t>(at % 4), v.speed = 40 + 12 * static_cast<uint32_t>(at);
    v.tpsVoltage = 3850, v.gearVoltage = 2200 + 600 * static_cast<uint32_t>(at / 4), v.inputVoltage6 = 10950;
    v.inputShifter = at % 4 == 3, v.outputIgnition = at % 4 == 3, v.gear = 1 + static_cast<uint32_t>(at / 4);
    v.powerFlag = true, v.rpmSpeedRatio = 57, v.supplyVoltage = 13800;
    for (size_t i = 0; i < row.raw.size(); ++i)
        row.raw[i] = static_cast<uint8_t>(v.rpm >> (i % 3 * 4)) ^ static_cast<uint8_t>(i);
    return row;
}

fs::path WriteLog(const fs::path& path, const std::vector<uint64_t>& times, std::string_view closing)
{
    fs::remove(path);
    std::string error;
    auto writer = LogWriter::Create(path.string(), error);
    for (size_t at = 0; writer && at < times.size(); ++at)
        writer->Append(Report(times[at], static_cast<int>(at)));
    if (!writer)
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
    else
        writer->Finish(closing);
    return path;
}

// The fuzzer's input for history files: "== <folder>/<name>", then the
// content, damaged: the first `head` bytes (to a line's end), and with
// `lostMiddle` its [History] group too, as a lost disk block leaves it, else
// nothing more, as a crash leaves it.
void WriteHistoryInput(const fs::path& path, const std::vector<fs::path>& files, size_t head, bool lostMiddle)
{
    std::ofstream out(path, std::ios::binary);
    for (const fs::path& file : files) {
        const std::string text = FileText(file);
        out << "== " << file.parent_path().filename().string() << '/' << file.filename().string() << '\n'
            << text.substr(0, text.find('\n', head) + 1)
            << (lostMiddle ? text.substr(text.rfind("[History]")) : "");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    wxInitializer wx;
    const fs::path corpus = argv[1];
    const fs::path logs = corpus / "log_read";
    fs::create_directories(logs);
    WriteLog(logs / "stopped.csv", {0, 20, 40, 60, 80, 100}, kLogStoppedLine);
    WriteLog(logs / "disconnected.csv", {0, 21, 40}, kLogDisconnectedLine);
    WriteLog(logs / "same-millisecond.csv", {0, 20, 20, 40}, kLogStoppedLine);  // as merged logs have
    const std::string whole = FileText(WriteLog(logs / "cut-short.csv", {0, 20, 40}, kLogStoppedLine));
    std::ofstream(logs / "cut-short.csv", std::ios::binary) << whole.substr(0, whole.size() - 40);  // a crash

    const fs::path root = fs::temp_directory_path() / "vantrel-fuzz-seeds";
    fs::remove_all(root);
    {
        HistoryStore store(root);
        HistoryRecord record;
        record.config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        record.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1796703454123));
        record.unit = "VT000001", record.event = "read", record.source = "Unit VT000001";
        store.Keep(record);
        record.config.ShiftLightRPM = 11500, record.event = "write";
        record.time += std::chrono::seconds(30);
        store.Keep(record);
        record.unit = "", record.event = "open", record.source = "shifter-race.vtn";
        store.Keep(record);
        store.Flush();
        // A write that a crash cut off before its rename leaves the temporary file.
        store.SetBeforeRename([](const fs::path&) { return false; });
        record.event = "save";
        store.Keep(record);
    }
    std::vector<fs::path> unit, noUnit;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            (entry.path().parent_path().filename() == kNoUnitFolder ? noUnit : unit).push_back(entry.path());
    std::sort(unit.begin(), unit.end());
    std::sort(noUnit.begin(), noUnit.end());
    // Damaged entries, each input within the fuzzer's 1 kB (history_read.flags).
    const fs::path history = corpus / "history_read";
    fs::create_directories(history);
    WriteHistoryInput(history / "entry-lost-middle", {unit.front()}, 700, true);
    WriteHistoryInput(history / "two-entries-lost-middle", unit, 300, true);
    WriteHistoryInput(history / "no-unit-and-leftover-cut", noUnit, 400, false);
    WriteHistoryInput(history / "cut-short", {unit.back()}, 600, false);
    fs::remove_all(root);
    return 0;
}
