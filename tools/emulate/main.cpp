// vantrel-emulate: runs a command with virtual units attached, as
// umockdev-run does for recorded devices. The bus lives in this process; the
// command runs as a child under umockdev's preload and reaches the bus
// through the testbed's sockets.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/init.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "EmulateOptions.h"
#include "emulator/VirtualBus.h"

namespace {

volatile sig_atomic_t childPid = 0;

void Forward(int signal)
{
    if (childPid > 0) {
        kill(childPid, signal);
    }
}

std::string PreloadValue()
{
    std::string preload = "libumockdev-preload.so.0";
    const char* existing = std::getenv("LD_PRELOAD");
    if (existing != nullptr && *existing != '\0') {
        preload += ":";
        preload += existing;
    }
    return preload;
}

// Outside a desktop session no bus is running, and GLib starts one the first
// time a file dialog or a setting asks for it, by forking dbus-launch from
// whichever of the program's threads asks first. Under umockdev a child forked
// while another thread holds the preload's path lock hangs before it runs
// anything, and the window with it. An address where no bus listens makes
// GLib give up at once.
void KeepGlibFromStartingABus()
{
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
        return;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && access((std::string(runtime) + "/bus").c_str(), F_OK) == 0) {
        return;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vantrel-emulate-no-bus", 1);
}

const char* PersonalityName(Personality personality)
{
    return personality == Personality::Application ? "application" : "bootloader";
}

}  // namespace

int main(int argc, char** argv)
{
    // The bus must run under umockdev's preload too: it sends its hot-plug
    // events through libudev, which only sees the testbed through the preload.
    if (!VirtualBus::InMockEnvironment()) {
        setenv("LD_PRELOAD", PreloadValue().c_str(), 1);
        execv("/proc/self/exe", argv);
        std::fprintf(stderr, "vantrel-emulate: cannot restart under umockdev: %s\n", std::strerror(errno));
        return 127;
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<EmulateOptions> options = ParseEmulateOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "vantrel-emulate: %s\n\n%s", error.c_str(), EMULATE_USAGE);
        return 2;
    }
    if (options->help) {
        std::fputs(EMULATE_USAGE, stdout);
        return 0;
    }
    {
        // The settings loader reads through wx's file configuration; it
        // starts no thread, so the testbed may still come after it.
        wxInitializer wx;
        if (!wx.IsOk() || !LoadSettingsIntoUnits(*options, error)) {
            std::fprintf(stderr, "vantrel-emulate: %s\n", wx.IsOk() ? error.c_str() : "wx cannot start");
            return 2;
        }
    }

    // The testbed must exist before any thread and before the child starts;
    // creating it sets UMOCKDEV_DIR, which the child inherits.
    VirtualBus bus;
    for (const UnitOptions& device : options->devices) {
        VirtualUnit& unit = bus.AddUnit(device);
        if (device.productId == 0xE361 && device.answersVendorRequests) {
            for (const FaultSpec& fault : options->faults) {
                unit.AddFault(fault);
            }
        }
        if (options->verbose) {
            std::fprintf(
                stderr,
                "vantrel-emulate: %04x:%04x serial \"%s\" %s bcdDevice %04x at bus 1 port %u address %u\n",
                device.vendorId, device.productId, unit.Serial().c_str(),
                PersonalityName(unit.CurrentPersonality()), unit.BcdDevice(), bus.PortNumber(unit),
                bus.DeviceAddress(unit));
        }
    }

    // All that the child needs is made before the fork: the bus threads are
    // running, and a forked child may only make async-signal-safe calls.
    // The units here are virtual: the program may write its stand-in
    // firmware images into them.
    setenv("VANTREL_ALLOW_STANDIN_FIRMWARE", "1", 1);
    KeepGlibFromStartingABus();
    std::vector<char*> childArgs;
    for (const std::string& arg : options->command) {
        childArgs.push_back(const_cast<char*>(arg.c_str()));
    }
    childArgs.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        std::fprintf(stderr, "vantrel-emulate: cannot start the command: %s\n", std::strerror(errno));
        return 127;
    }
    if (pid == 0) {
        execvp(childArgs[0], childArgs.data());
        std::fprintf(stderr, "vantrel-emulate: cannot run %s: %s\n", childArgs[0], std::strerror(errno));
        _exit(127);
    }
    childPid = pid;
    struct sigaction action {};
    action.sa_handler = Forward;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return 127;
        }
    }
    if (options->verbose) {
        for (size_t i = 0; i < bus.UnitCount(); ++i) {
            const VirtualUnit& unit = bus.UnitAt(i);
            std::fprintf(stderr, "vantrel-emulate: \"%s\": %zu requests, %u faults fired, %u restarts\n",
                         unit.Serial().c_str(), unit.RequestLog().size(), unit.FaultsFired(),
                         unit.RestartCount());
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}
