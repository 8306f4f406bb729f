// The user's failure log file: where it lives and how it stays bounded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "session/FailureLog.h"

namespace {

namespace fs = std::filesystem;

// The file's lines without their "YYYY-MM-DD HH:MM:SS " stamps.
std::string Read(const fs::path& path)
{
    std::ifstream file(path);
    std::string line;
    std::string text;
    while (std::getline(file, line)) {
        text += line.substr(20) + "\n";
    }
    return text;
}

TEST(FailureLogFile, FallsBackToTheHomeForAnUnusableStateFolder)
{
    const std::string state = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/rider", 1);
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(FailureLogPath(), "/home/rider/.local/state/vantrelstudio/vantrel.log");
    setenv("XDG_STATE_HOME", "/var/state/rider", 1);
    EXPECT_EQ(FailureLogPath(), "/var/state/rider/vantrelstudio/vantrel.log");
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
}

TEST(FailureLogFile, AppendsAndRotatesAtTheLimit)
{
    char folder[] = "/tmp/vantrel-log-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const fs::path log = fs::path(folder) / "vantrelstudio" / "vantrel.log";
    const fs::path older = fs::path(folder) / "vantrelstudio" / "vantrel.log.1";
    AppendFailureLine(log, "first", 52);
    AppendFailureLine(log, "second", 52);  // 26 + 27 bytes: the limit is reached
    EXPECT_FALSE(fs::exists(older));
    AppendFailureLine(log, "third", 52);
    EXPECT_EQ(Read(older), "first\nsecond\n");
    EXPECT_EQ(Read(log), "third\n");
    AppendFailureLine(log, "fourth", 26);  // the next rotation replaces the older file
    EXPECT_EQ(Read(older), "third\n");
    EXPECT_EQ(Read(log), "fourth\n");
    fs::remove_all(folder);
}

}  // namespace
