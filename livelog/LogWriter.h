// Writes a live log without holding up its caller: Append formats the row and
// queues it; a thread of the writer's own puts the queue into the file and
// flushes it at least four times a second, so a crash or a pulled cable loses
// at most the last quarter second.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "livelog/LogFormat.h"

class LogWriter {
public:
    // Creates the file and writes its header; null and `error` set (the
    // system's reason) when the file cannot be created.
    static std::unique_ptr<LogWriter> Create(const std::string& path, std::string& error);
    // Writes the log into an open file (a pipe, standard output's copy), which
    // it closes when finished; `name` stands for it in Path(). Null and
    // `error` set, the file closed, when the header cannot be written.
    static std::unique_ptr<LogWriter> Adopt(std::FILE* file, const std::string& name, std::string& error);
    // Finishes with kLogStoppedLine unless Finish was called.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void Append(const LogRow& row);
    // Writes everything queued and the closing line, and closes the file.
    // Later calls do nothing.
    void Finish(std::string_view closingLine);

    const std::string& Path() const { return path; }
    size_t Rows() const { return rows; }
    // False once a write to the file failed (a full disk, a pulled stick).
    bool Healthy() const;

private:
    LogWriter(std::string path, std::FILE* file);
    void Run();

    std::string path;
    std::FILE* file;
    size_t rows = 0;

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::string queued;  // lines waiting for the thread
    bool finishing = false;
    bool failed = false;
    std::thread worker;
};
