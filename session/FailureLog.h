// Where the failures of requests to the unit are kept (device/RequestLog.h
// words them): the toolkit's log, as trace records under FAILURE_TRACE_MASK,
// and the file vantrel.log in the user's state folder.
//
// Trace records, not verbose or info ones: the firmware update window shows
// every info record once it has switched verbose logging on, and the
// toolkit's own target then shows them in a message box; the user must not
// see these lines. Start the program with WXTRACE=vantrel-requests to have
// them on standard error as well.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

inline constexpr const char* FAILURE_TRACE_MASK = "vantrel-requests";
// The file is renamed to "vantrel.log.1" (replacing an older one) once it
// has reached this size, so two files of about 1 MiB at the most are kept.
inline constexpr uintmax_t FAILURE_LOG_LIMIT = 1024 * 1024;

// $XDG_STATE_HOME/vantrelstudio/vantrel.log, or ~/.local/state/vantrelstudio/
// vantrel.log when XDG_STATE_HOME is unset, empty or not absolute; empty when
// there is no home either.
std::filesystem::path FailureLogPath();

// Appends "<local date and time> <line>" and a line break to the file,
// creating its folder; a file already at `limit` bytes is rotated first.
// Whatever goes wrong is ignored: the log never disturbs the program.
void AppendFailureLine(const std::filesystem::path& path, const std::string& line,
                       uintmax_t limit = FAILURE_LOG_LIMIT);

// Keeps a line of a failure that no request to the unit had (a file the
// program could not load): as a trace record and in FailureLogPath().
void RecordFailure(const std::string& line);

// Installs the sink of device/RequestLog.h that does both of the above for
// every line, appending to FailureLogPath() as it is when the line comes.
void InstallFailureLog();
