// The automatic history: every configuration kept is an ordinary settings
// file (the Save-as format, loadable with Open) in one folder per unit serial
// number, and one for work without a unit, below the root
// ($XDG_DATA_HOME/VantrelStudio/history). Files are named by time and event,
// written atomically (a temporary file renamed into place) by a worker thread,
// and the oldest are removed beyond the limit of a folder.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/DeviceConfiguration.h"

inline constexpr size_t kHistoryLimit = 500;
// The folder of the configurations kept without a unit.
inline constexpr const char* kNoUnitFolder = "no-unit";

// One configuration to keep, or one listed.
struct HistoryRecord {
    DeviceConfiguration config{};
    std::string unit;    // serial number; empty: no unit
    std::string event;   // "read", "connect", "write", "open", "save", "unsaved", "quit", ...
    std::string source;  // "Unit VT000001", "shifter-race.vtn", "Defaults of 1.08", "Editors"
    std::chrono::system_clock::time_point time{};
};

struct HistoryEntry {
    std::filesystem::path path;
    bool readable = false;  // false: listed, but not a settings file of the history
    HistoryRecord record;   // time, event and source even when unreadable (from the name)
};

// $XDG_DATA_HOME/VantrelStudio/history, or ~/.local/share/... when it is unset
// or not absolute; empty when there is no home either.
std::filesystem::path DefaultHistoryRoot();

// The settings-file text of a record with its history details ("/History"
// group, which Open ignores), and back. False: not such a file.
std::string HistoryFileText(const HistoryRecord& record);
bool ReadHistoryFile(const std::filesystem::path& path, HistoryRecord& record);

class HistoryStore {
public:
    explicit HistoryStore(std::filesystem::path root, size_t limit = kHistoryLimit);
    // Writes what is still queued, then ends the worker.
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Queues the record for the worker; takes a copy and returns at once.
    void Keep(const HistoryRecord& record);
    // Waits until everything queued is written (or failed).
    void Flush();

    const std::filesystem::path& Root() const { return root; }
    std::filesystem::path FolderOf(const std::string& unit) const;
    // The entries of one unit ("" : without a unit), newest first.
    std::vector<HistoryEntry> List(const std::string& unit) const;
    // The entries of every folder, newest first.
    std::vector<HistoryEntry> ListAll() const;

    // Called on the worker thread with one line when a write fails (once
    // until a write succeeds again), and with an empty line when one does.
    void SetFailureHandler(std::function<void(const std::string&)> handler);
    // Runs on the worker between writing the temporary file and renaming it;
    // returning false abandons the write there (as a crash would).
    void SetBeforeRename(std::function<bool(const std::filesystem::path&)> hook);

private:
    void Run();
    bool Write(const HistoryRecord& record, std::string& error);
    void Prune(const std::filesystem::path& folder);

    std::filesystem::path root;
    size_t limit;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<HistoryRecord> queue;
    bool busy = false;
    bool stopping = false;
    bool failing = false;
    unsigned sequence = 0;
    std::function<void(const std::string&)> onFailure;
    std::function<bool(const std::filesystem::path&)> beforeRename;
    std::thread worker;
};
