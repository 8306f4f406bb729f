// vantrel-emulate end to end: a child process sees the virtual units.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef VANTREL_EMULATE_PATH
#error "VANTREL_EMULATE_PATH must name the vantrel-emulate executable"
#endif

namespace {

std::string RunCommand(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    status = pclose(pipe);
    return output;
}

bool HaveLsusb()
{
    return std::system("command -v lsusb >/dev/null 2>&1") == 0;
}

TEST(EmulateTool, LsusbListsTheUnits)
{
    if (!HaveLsusb()) {
        GTEST_SKIP() << "lsusb (usbutils) is not installed";
    }
    int status = 0;
    const std::string out = RunCommand(
        std::string(VANTREL_EMULATE_PATH) + " --unit 108 --unit 101 --bootloader 100 -- lsusb -v 2>&1",
        status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("idVendor           0xa600"), std::string::npos) << out;
    EXPECT_NE(out.find("iSerial                 3 VT000001"), std::string::npos) << out;
    EXPECT_NE(out.find("iSerial                 3 VT000002"), std::string::npos) << out;
    EXPECT_NE(out.find("bcdDevice            1.00"), std::string::npos) << out;
    EXPECT_NE(out.find("bDeviceSubClass         1"), std::string::npos) << out;
    EXPECT_NE(out.find("bEndpointAddress     0x81  EP 1 IN"), std::string::npos) << out;
}

TEST(EmulateTool, PassesTheExitStatusOn)
{
    int status = 0;
    RunCommand(std::string(VANTREL_EMULATE_PATH) + " --unit 100 -- sh -c 'exit 7'", status);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    RunCommand(std::string(VANTREL_EMULATE_PATH) + " --unit 99 -- true 2>/dev/null", status);
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

TEST(EmulateTool, ChildSeesTheSysfsStrings)
{
    int status = 0;
    const std::string out =
        RunCommand(std::string(VANTREL_EMULATE_PATH) +
                       " --serial ABC123 --sibling -- sh -c 'cat /sys/bus/usb/devices/*/serial'",
                   status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("ABC123"), std::string::npos) << out;
    EXPECT_NE(out.find("CV000001"), std::string::npos) << out;
}

// Outside a desktop the child gets a bus address where none listens, so that
// GLib never forks dbus-launch under umockdev; a session's own bus is kept.
TEST(EmulateTool, ChildIsKeptFromStartingASessionBus)
{
    const std::string emulate =
        std::string(VANTREL_EMULATE_PATH) + " --unit 108 -- sh -c 'echo \"$DBUS_SESSION_BUS_ADDRESS\"'";
    int status = 0;
    const std::string noSession =
        RunCommand("env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR=/nonexistent " + emulate, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(noSession.rfind("unix:path=/nonexistent/", 0), 0u) << noSession;
    const std::string session =
        RunCommand("DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/1000/bus " + emulate, status);
    EXPECT_EQ(session, "unix:path=/run/user/1000/bus\n");
}

}  // namespace
