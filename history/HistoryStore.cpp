#include "HistoryStore.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/sstream.h>

#include "config/SettingsKeys.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::system_clock;

constexpr const char* kExtension = ".vtn";

long long MillisecondsOf(Clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

// None beyond what the clock holds (the years 1678 to 2262), which a damaged
// file or name may give: the conversion would overflow.
std::optional<Clock::time_point> TimeOfMilliseconds(long long milliseconds)
{
    constexpr long long kMost =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::duration::max()).count();
    if (milliseconds > kMost || milliseconds < -kMost)
        return std::nullopt;
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(milliseconds)));
}

// A serial number as a folder name: letters, digits, '-' and '_' only.
std::string FolderName(const std::string& unit)
{
    std::string name;
    for (char c : unit)
        name += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
    return name.empty() ? kNoUnitFolder : name;
}

// "20261208-061735-123-0007-read.vtn" (UTC): names sort by time.
std::string FileName(const HistoryRecord& record, unsigned sequence)
{
    const long long ms = MillisecondsOf(record.time);
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%03d-%04u-", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(ms % 1000), sequence % 10000);
    return stamp + FolderName(record.event) + kExtension;
}

// Time and event back from a file name, for a file that cannot be read.
void FromFileName(const std::string& name, HistoryRecord& record)
{
    std::tm utc{};
    int ms = 0;
    unsigned sequence = 0;
    char event[64] = {};
    if (std::sscanf(name.c_str(), "%4d%2d%2d-%2d%2d%2d-%3d-%4u-%63[^.]", &utc.tm_year, &utc.tm_mon,
                    &utc.tm_mday, &utc.tm_hour, &utc.tm_min, &utc.tm_sec, &ms, &sequence, event) == 9) {
        utc.tm_year -= 1900;
        utc.tm_mon -= 1;
        if (const auto time = TimeOfMilliseconds(static_cast<long long>(timegm(&utc)) * 1000 + ms))
            record.time = *time;
        record.event = event;
    }
}

std::vector<fs::path> EntryFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == kExtension && it->is_regular_file(error))
            files.push_back(it->path());
    }
    return files;
}

// Newest first; the names begin with the time.
void SortNewestFirst(std::vector<HistoryEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
        return a.path.filename() > b.path.filename();
    });
}

std::vector<HistoryEntry> ReadEntries(const std::vector<fs::path>& files)
{
    std::vector<HistoryEntry> entries;
    for (const fs::path& file : files) {
        HistoryEntry entry;
        entry.path = file;
        entry.readable = ReadHistoryFile(file, entry.record);
        if (!entry.readable)
            FromFileName(file.filename().string(), entry.record);
        entries.push_back(std::move(entry));
    }
    SortNewestFirst(entries);
    return entries;
}

bool WriteWhole(const fs::path& path, const std::string& text, std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(written);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

fs::path DefaultHistoryRoot()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (data && *data && fs::path(data).is_absolute()) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            return {};
        base = fs::path(home) / ".local" / "share";
    }
    return base / "VantrelStudio" / "history";
}

std::string HistoryFileText(const HistoryRecord& record)
{
    wxStringInputStream empty(wxEmptyString);
    wxFileConfig store(empty, wxConvUTF8);
    store.SetExpandEnvVars(false);
    WriteAppVersion(store);
    SaveSettingsKeys(store, record.config, SettingsKeySet::Extended);
    store.Write("/History/Event", wxString::FromUTF8(record.event));
    store.Write("/History/Source", wxString::FromUTF8(record.source));
    store.Write("/History/Unit", wxString::FromUTF8(record.unit));
    store.Write("/History/Time", wxString::Format("%lld", MillisecondsOf(record.time)));
    wxStringOutputStream out;
    store.Save(out, wxConvUTF8);
    return std::string(out.GetString().utf8_str());
}

bool ReadHistoryFile(const fs::path& path, HistoryRecord& record)
{
    std::unique_ptr<wxFileConfig> store;
    {
        wxLogNull quiet;  // listed as unreadable instead
        store = OpenSettingsFileToLoad(wxString(path.string()));
    }
    if (!store)
        return false;
    ClearConfiguration(record.config);
    // The fallbacks for keys a file lacks, then every value exactly as kept:
    // the history keeps what the editors held, valid or not. A value beyond
    // int32_t was never kept (a damaged file): it would wrap round into
    // another, so its fallback stays.
    LoadSettingsKeys(*store, record.config, SettingsKeySet::Extended);
    store->SetPath("/");
    const auto take = [&store](const wxString& key, int32_t& field) {
        long value = 0;
        if (store->Read(key, &value) && value >= INT32_MIN && value <= INT32_MAX)
            field = static_cast<int32_t>(value);
    };
    // The names as the store takes them, made once: made for every read they
    // took a twentieth of listing the entries.
    static const auto scalars = [] {
        std::vector<std::pair<wxString, ConfigField>> named;
        for (const SettingsScalarKey& key : SettingsScalarKeys())
            named.emplace_back(wxString::FromAscii(key.name), key.field);
        return named;
    }();
    for (const auto& [name, field] : scalars)
        take(name, record.config.*field);
    for (int row = 0; row < kMapRows; ++row) {
        for (int cell = 0; cell < kMapCells; ++cell) {
            take(BlipperCellKeyName(row, cell), record.config.BlipperMap[row][cell]);
            take(ShifterCellKeyName(row, cell), record.config.ShifterMap[row][cell]);
        }
    }
    record.event = store->Read("/History/Event", wxEmptyString).utf8_string();
    record.source = store->Read("/History/Source", wxEmptyString).utf8_string();
    record.unit = store->Read("/History/Unit", wxEmptyString).utf8_string();
    const wxString time = store->Read("/History/Time", wxEmptyString);
    long long ms = 0;
    const auto kept = time.ToLongLong(&ms) ? TimeOfMilliseconds(ms) : std::nullopt;
    if (kept)
        record.time = *kept;
    else
        FromFileName(path.filename().string(), record);
    return true;
}

HistoryStore::HistoryStore(fs::path root, size_t limit)
    : root(std::move(root)), limit(limit), worker([this] { Run(); })
{
}

HistoryStore::~HistoryStore()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    worker.join();
}

void HistoryStore::Keep(const HistoryRecord& record)
{
    {
        std::lock_guard lock(mutex);
        queue.push_back(record);
    }
    wake.notify_one();
}

void HistoryStore::Flush()
{
    std::unique_lock lock(mutex);
    idle.wait(lock, [this] { return queue.empty() && !busy; });
}

void HistoryStore::SetFailureHandler(std::function<void(const std::string&)> handler)
{
    std::lock_guard lock(mutex);
    onFailure = std::move(handler);
}

void HistoryStore::SetBeforeRename(std::function<bool(const fs::path&)> hook)
{
    std::lock_guard lock(mutex);
    beforeRename = std::move(hook);
}

fs::path HistoryStore::FolderOf(const std::string& unit) const
{
    return root / FolderName(unit);
}

std::vector<HistoryEntry> HistoryStore::List(const std::string& unit) const
{
    return ReadEntries(EntryFiles(FolderOf(unit)));
}

std::vector<HistoryEntry> HistoryStore::ListAll() const
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        if (it->is_directory(error)) {
            std::vector<fs::path> more = EntryFiles(it->path());
            files.insert(files.end(), more.begin(), more.end());
        }
    }
    return ReadEntries(files);
}

void HistoryStore::Run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !queue.empty(); });
        if (queue.empty()) {
            if (stopping)
                return;
            continue;
        }
        HistoryRecord record = std::move(queue.front());
        queue.pop_front();
        busy = true;
        lock.unlock();
        std::string error;
        const bool written = Write(record, error);
        lock.lock();
        // Once when keeping starts to fail, and once (with no text) when it
        // works again.
        if (written == failing && onFailure) {
            auto handler = onFailure;
            lock.unlock();
            handler(error);
            lock.lock();
        }
        failing = !written;
        busy = false;
        if (queue.empty())
            idle.notify_all();
    }
}

bool HistoryStore::Write(const HistoryRecord& record, std::string& error)
{
    const fs::path folder = FolderOf(record.unit);
    std::error_code code;
    fs::create_directories(folder, code);
    if (code) {
        error = "History not kept: cannot create " + folder.string() + ": " + code.message();
        return false;
    }
    const fs::path file = folder / FileName(record, ++sequence);
    fs::path temporary = file;
    temporary += ".tmp";
    std::string reason;
    if (!WriteWhole(temporary, HistoryFileText(record), reason)) {
        fs::remove(temporary, code);
        error = "History not kept: cannot write " + temporary.string() + ": " + reason;
        return false;
    }
    std::function<bool(const fs::path&)> hook;
    {
        std::lock_guard lock(mutex);
        hook = beforeRename;
    }
    if (hook && !hook(temporary)) {
        error = "History not kept: interrupted before " + file.filename().string();
        return false;
    }
    fs::rename(temporary, file, code);
    if (code) {
        fs::remove(temporary, code);
        error = "History not kept: cannot rename to " + file.string() + ": " + code.message();
        return false;
    }
    Prune(folder);
    return true;
}

void HistoryStore::Prune(const fs::path& folder)
{
    std::vector<fs::path> files = EntryFiles(folder);
    if (files.size() <= limit)
        return;
    std::sort(files.begin(), files.end());
    std::error_code code;
    for (size_t i = 0; i + limit < files.size(); ++i)
        fs::remove(files[i], code);
}
