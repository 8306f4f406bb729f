// History folders as they might be found: any file names, any contents (a
// folder copied from another machine, a damaged disk, another program's
// files), listed and read as the History and Compare windows do. An input is
// the files: each starts with a line "== <folder>/<name>", then its content.
#include <unistd.h>

#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "editor/EditorRecords.h"
#include "history/FieldLabels.h"
#include "history/HistoryStore.h"
#include "history/RecordDiff.h"
#include "session/HistoryTexts.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFileMark = "== ";
constexpr std::string_view kNextFile = "\n== ";
constexpr size_t kMostFiles = 2;  // a unit's entry and the one before it, or two units

// One name of a path: not empty, no '/' or NUL, not "." or "..".
std::string PathName(std::string_view text)
{
    std::string name(text.substr(0, 100));
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    return name.empty() || name == "." || name == ".." ? "_" : name;
}

// The input's files by their place below the root (a later one of the same
// place replaces an earlier); a name without a folder is in "no-unit".
std::map<fs::path, std::string> Files(std::string_view input)
{
    std::map<fs::path, std::string> files;
    size_t mark = input.starts_with(kFileMark) ? 0 : input.find(kNextFile);
    for (size_t count = 0; mark != std::string_view::npos && count < kMostFiles; ++count) {
        input.remove_prefix(mark + (input[mark] == '\n' ? kNextFile.size() : kFileMark.size()));
        const std::string_view name = input.substr(0, input.find('\n'));
        input.remove_prefix(std::min(input.size(), name.size() + 1));
        mark = input.starts_with(kFileMark) ? 0 : input.find(kNextFile);
        const std::string_view content =
            input.substr(0, mark == std::string_view::npos ? mark : mark + (mark > 0));
        const size_t slash = name.find('/');
        const fs::path place = slash == std::string_view::npos ? fs::path(kNoUnitFolder) / PathName(name)
                                                               : fs::path(PathName(name.substr(0, slash))) /
                                                                     PathName(name.substr(slash + 1));
        files[place] = content;
    }
    return files;
}

// The fuzzer's own folder: the history's root and the file kept again.
const fs::path& Work()
{
    static const fs::path work =
        fs::temp_directory_path() / ("vantrel-fuzz-history-" + std::to_string(::getpid()));
    return work;
}

const fs::path& Root()
{
    static const fs::path root = Work() / "history";
    return root;
}

void WriteFile(const fs::path& path, std::string_view text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    FUZZ_CHECK(file.good());
}

// Kept again as it was read, a record reads back the same: what the windows
// restore or compare is what the file holds. Once for each text and time: the
// values go round as whole numbers, which any record's do alike, and going
// round costs some ten times reading a damaged entry.
void CheckKeptAgain(const HistoryRecord& record)
{
    std::string key = std::to_string(record.time.time_since_epoch().count());
    for (const std::string* text : {&record.event, &record.source, &record.unit})
        key += '\0' + *text;
    if (SeenBefore(key))
        return;
    const fs::path file = Work() / "kept-again.vtn";
    WriteFile(file, HistoryFileText(record));
    HistoryRecord again;
    FUZZ_CHECK(ReadHistoryFile(file, again));
    FUZZ_CHECK(again.config == record.config && again.event == record.event &&
               again.source == record.source && again.unit == record.unit && again.time == record.time);
}

// What the History window shows of the entries and does on Restore.
void ShowEntries(const std::vector<HistoryEntry>& entries)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        const HistoryEntry& entry = entries[i];
        EntryTitle(entry);
        if (!entry.readable)
            continue;
        CheckKeptAgain(entry.record);
        const DeviceConfiguration& newer = entry.record.config;
        ForShowing(newer);
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (entries[j].readable && entries[j].record.unit == entry.record.unit) {
                SummarizeDifferences(DiffRecords(AsEditorsHoldIt(newer, newer),
                                                 AsEditorsHoldIt(entries[j].record.config, newer)));
                break;
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static wxInitializer wx;
    FUZZ_CHECK(wx.IsOk());
    wxLog::EnableLogging(false);
    fs::create_directories(Root());
    static const struct Cleanup {
        ~Cleanup() { fs::remove_all(Work()); }
    } cleanup;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HistoryStore store(Root());
    const auto files = Files(std::string_view(reinterpret_cast<const char*>(data), size));
    std::set<fs::path> folders;
    for (const auto& [place, content] : files)
        folders.insert(place.parent_path());
    // What an input before left and this one does not have goes (found on the
    // disk: memory kept past an input would look like a leak to libFuzzer).
    for (const fs::directory_entry& folder : fs::directory_iterator(Root())) {
        const fs::path name = folder.path().filename();
        if (!folders.contains(name)) {
            fs::remove_all(folder.path());
            continue;
        }
        for (const fs::directory_entry& file : fs::directory_iterator(folder.path()))
            if (!files.contains(name / file.path().filename()))
                fs::remove(file.path());
    }
    std::set<fs::path> expected;  // every entry file
    for (const auto& [place, content] : files) {
        fs::create_directory(Root() / place.parent_path());
        WriteFile(Root() / place, content);
        if (place.extension() == ".vtn")
            expected.insert(Root() / place);
    }
    // One unit's entries when the input has a single folder that is a unit's,
    // else every unit's.
    const std::string unit = folders.size() == 1 ? folders.begin()->string() : "";
    const bool oneUnit = !unit.empty() && store.FolderOf(unit) == Root() / unit;
    const std::vector<HistoryEntry> entries = oneUnit ? store.List(unit) : store.ListAll();

    // Nothing is lost: every entry file is listed once, newest first.
    std::set<fs::path> listed;
    for (const HistoryEntry& entry : entries)
        listed.insert(entry.path);
    FUZZ_CHECK(listed == expected && entries.size() == expected.size());
    FUZZ_CHECK(std::is_sorted(
        entries.begin(), entries.end(),
        [](const HistoryEntry& a, const HistoryEntry& b) { return a.path.filename() > b.path.filename(); }));
    ShowEntries(entries);
    return 0;
}
