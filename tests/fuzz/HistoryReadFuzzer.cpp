// History folders as they might be found: any file names, any contents (a
// folder copied from another machine, a damaged disk, another program's
// files), listed and read as the History and Compare windows do. An input is
// the files: each starts with a line "== <folder>/<name>", then its content.
#include <unistd.h>

#include <wx/init.h>
#include <wx/log.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
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

// The files below the root: those of the input before, made those of this
// input, writing only what changed. What was written is kept without
// allocating: memory kept past an input would look like a leak to libFuzzer.
class Disk {
public:
    void Hold(const std::map<fs::path, std::string>& files)
    {
        std::set<fs::path> folders;
        for (const auto& [place, content] : files)
            folders.insert(place.parent_path());
        for (size_t i = 0; i < count; ++i) {
            const fs::path place(std::string_view(kept[i].place.data(), kept[i].length));
            if (!folders.contains(place.parent_path()))
                fs::remove_all(Root() / place.parent_path());
            else if (!files.contains(place))
                fs::remove(Root() / place);
        }
        std::array<Kept, kMostFiles> now{};
        size_t written = 0;
        for (const auto& [place, content] : files) {
            Kept& file = now[written++];
            const std::string& text = place.native();
            FUZZ_CHECK(text.size() <= file.place.size());
            std::copy(text.begin(), text.end(), file.place.begin());
            file.length = text.size();
            file.content = std::hash<std::string>()(content);
            if (std::none_of(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(count),
                             [&file](const Kept& old) { return old == file; })) {
                fs::create_directory(Root() / place.parent_path());
                WriteFile(Root() / place, content);
            }
        }
        kept = now;
        count = written;
    }

private:
    struct Kept {
        std::array<char, 256> place;  // below the root
        size_t length;
        size_t content;  // its hash
        bool operator==(const Kept&) const = default;
    };
    std::array<Kept, kMostFiles> kept{};
    size_t count = 0;
};

// What about a text decides how it is kept: which kinds of byte it holds
// (controls, the file format's own marks, bytes of two, three or four byte
// characters) and whether it is empty or starts or ends with a space.
__attribute__((no_sanitize("coverage"))) uint32_t TextKind(std::string_view text)
{
    constexpr std::string_view kMarks = "\\\"'=[]#;/%$&";
    uint32_t kind = text.empty() ? 1U : 0U;
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        kind |= 2U;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            kind |= 4U;
        else if (byte >= 0xf0)
            kind |= 8U;
        else if (byte >= 0xe0)
            kind |= 16U;
        else if (byte >= 0xc0)
            kind |= 32U;
        else if (const size_t mark = kMarks.find(c); mark != std::string_view::npos)
            kind |= 64U << mark;
    }
    return kind;
}

// Whether a record is worth keeping again, some ten times the cost of reading
// a damaged entry. The values go round as whole numbers, which any record's do
// alike; the texts and the time are what differ. A record goes round when one
// of its texts is of a kind that text never had in a record that went round,
// or its time has a sign or number of digits none had, and otherwise one
// record in eight, by its texts and time. Built without coverage, or libFuzzer
// would keep inputs for this bookkeeping's branches; allocates nothing, as
// memory kept past an input counts as a leak.
__attribute__((no_sanitize("coverage"))) bool WorthKeepingAgain(const HistoryRecord& record)
{
    static std::array<std::bitset<size_t{1} << 20>, 3> textKinds;
    static std::bitset<2 * 20> timeKinds;
    bool newKind = false;
    size_t which = 0;
    for (const std::string* text : {&record.event, &record.source, &record.unit}) {
        const uint32_t kind = TextKind(*text);
        newKind |= !textKinds[which].test(kind);
        textKinds[which++].set(kind);
    }
    const int64_t ticks = record.time.time_since_epoch().count();
    size_t digits = 1;
    for (uint64_t rest = ticks < 0 ? 0 - static_cast<uint64_t>(ticks) : static_cast<uint64_t>(ticks);
         rest >= 10; rest /= 10)
        ++digits;
    const size_t timeKind = digits + (ticks < 0 ? 20 : 0);
    newKind |= !timeKinds.test(timeKind);
    timeKinds.set(timeKind);

    std::array<char, 3 * 64 + sizeof ticks> bytes{};
    std::memcpy(bytes.data(), &ticks, sizeof ticks);
    size_t end = sizeof ticks;
    for (const std::string* text : {&record.event, &record.source, &record.unit}) {
        const size_t n = std::min<size_t>(text->size(), 63);
        std::memcpy(bytes.data() + end, text->data(), n);
        end += n;
        bytes[end++] = '\0';
    }
    const std::string_view view(bytes.data(), end);
    return newKind || (!SeenBefore(view) && std::hash<std::string_view>()(view) % 8 == 0);
}

// Kept again as it was read, a record reads back the same: what the windows
// restore or compare is what the file holds.
void CheckKeptAgain(const HistoryRecord& record)
{
    if (!WorthKeepingAgain(record))
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
    static Disk disk;
    const auto files = Files(std::string_view(reinterpret_cast<const char*>(data), size));
    disk.Hold(files);
    std::set<fs::path> folders;
    std::set<fs::path> expected;  // every entry file
    for (const auto& [place, content] : files) {
        folders.insert(place.parent_path());
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
