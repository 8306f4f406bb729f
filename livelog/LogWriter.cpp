#include "livelog/LogWriter.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

// The longest a written row waits in the queue before it is in the file.
constexpr std::chrono::milliseconds kFlushInterval(250);

}  // namespace

std::unique_ptr<LogWriter> LogWriter::Create(const std::string& path, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "wx");
    if (file == nullptr) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<LogWriter> writer = Adopt(file, path, error);
    if (!writer) {
        std::remove(path.c_str());
    }
    return writer;
}

std::unique_ptr<LogWriter> LogWriter::Adopt(std::FILE* file, const std::string& name, std::string& error)
{
    const std::string header = LogHeader() + '\n';
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size() || std::fflush(file) != 0) {
        error = std::strerror(errno);
        std::fclose(file);
        return nullptr;
    }
    return std::unique_ptr<LogWriter>(new LogWriter(name, file));
}

LogWriter::LogWriter(std::string path, std::FILE* file) : path(std::move(path)), file(file)
{
    worker = std::thread([this] { Run(); });
}

LogWriter::~LogWriter()
{
    Finish(kLogStoppedLine);
}

void LogWriter::Append(const LogRow& row)
{
    std::string line = FormatLogRow(row);
    line += '\n';
    const std::lock_guard lock(mutex);
    if (finishing) {
        return;
    }
    queued += line;
    ++rows;
}

void LogWriter::Finish(std::string_view closingLine)
{
    {
        const std::lock_guard lock(mutex);
        if (finishing) {
            return;
        }
        queued += closingLine;
        queued += '\n';
        finishing = true;
    }
    wake.notify_one();
    worker.join();
    std::fclose(file);
}

bool LogWriter::Healthy() const
{
    const std::lock_guard lock(mutex);
    return !failed;
}

void LogWriter::Run()
{
    std::string writing;
    bool last = false;
    while (!last) {
        {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, kFlushInterval, [this] { return finishing; });
            writing.swap(queued);
            last = finishing;
        }
        if (writing.empty()) {
            continue;
        }
        const bool written =
            std::fwrite(writing.data(), 1, writing.size(), file) == writing.size() && std::fflush(file) == 0;
        writing.clear();
        if (!written) {
            const std::lock_guard lock(mutex);
            failed = true;
        }
    }
}
