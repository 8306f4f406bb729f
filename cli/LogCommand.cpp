// vantrel log: the unit's live reports at 10 Hz in the window's CSV log
// format, until the time asked for has passed or an interrupt comes; both
// end the log with the window's closing line. A unit that stops answering
// (the fourth failure in a row, as the window bears them) ends it as a
// disconnect does.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "cli/Commands.h"
#include "cli/ExitStatus.h"
#include "cli/Interrupts.h"
#include "cli/UnitSession.h"
#include "livelog/LogWriter.h"
#include "session/LivePoll.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kPollInterval(100);

std::unique_ptr<LogWriter> OpenLog(const Invocation& invocation, const Console& console, std::string& error)
{
    if (invocation.output)
        return LogWriter::Create(*invocation.output, error);
    // A copy of standard output, which the writer may close when it is done.
    const int descriptor = dup(console.outDescriptor);
    std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "w") : nullptr;
    if (file == nullptr) {
        error = "standard output cannot be written";
        if (descriptor >= 0)
            close(descriptor);
        return nullptr;
    }
    return LogWriter::Adopt(file, "standard output", error);
}

}  // namespace

int LogCommand(const Invocation& invocation, const Console& console)
{
    UnitSession session(console);
    if (const int status = session.OpenApplication(invocation.serial))
        return status;
    std::string error;
    const std::unique_ptr<LogWriter> log = OpenLog(invocation, console, error);
    if (!log) {
        console.Say("The log cannot be written to " + invocation.output.value_or("standard output") + ": " +
                    error);
        return kExitUsage;
    }

    const Clock::time_point started = Clock::now();
    LivePoll poll(session.GetConnection());
    poll.Listen(
        [&](const LiveValues& values, const LiveRaw& raw) { log->Append(LogRowNow(started, values, raw)); });
    const Interrupts interrupts(Interrupts::Mode::Stop);
    const auto until =
        invocation.seconds ? started + std::chrono::seconds(*invocation.seconds) : Clock::time_point::max();
    for (Clock::time_point next = started; !Interrupts::Received() && Clock::now() < until;
         next += kPollInterval) {
        if (!poll.Read()) {
            log->Finish(kLogDisconnectedLine);
            return session.UnitFailed("The unit stopped answering; the log ends there", 0);
        }
        std::this_thread::sleep_until(next + kPollInterval);
    }
    log->Finish(kLogStoppedLine);
    if (!log->Healthy()) {
        console.Say("Writing the log to " + log->Path() + " failed.");
        return kExitUsage;
    }
    console.Say(std::to_string(log->Rows()) + " live reports logged to " + log->Path() + ".");
    return kExitSuccess;
}
