#include "FailureLog.h"

#include <wx/log.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <system_error>

#include "device/RequestLog.h"

std::filesystem::path FailureLogPath()
{
    std::filesystem::path folder;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && std::filesystem::path(state).is_absolute()) {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            return {};
        }
        folder = std::filesystem::path(home) / ".local" / "state";
    }
    return folder / "vantrelstudio" / "vantrel.log";
}

void AppendFailureLine(const std::filesystem::path& path, const std::string& line, uintmax_t limit)
{
    if (path.empty()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    const uintmax_t size = std::filesystem::file_size(path, ignored);
    if (!ignored && size >= limit) {
        std::filesystem::path older = path;
        older += ".1";
        std::filesystem::rename(path, older, ignored);
    }

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    }
    std::ofstream file(path, std::ios::app);
    file << stamp << ' ' << line << '\n';
}

void RecordFailure(const std::string& line)
{
    wxLogTrace(FAILURE_TRACE_MASK, "%s", wxString::FromUTF8(line));
    AppendFailureLine(FailureLogPath(), line);
}

void InstallFailureLog()
{
    SetRequestLogSink(&RecordFailure);
}
