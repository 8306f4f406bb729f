// The command line of vantrel read against its table, and the JSON it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Json.h"

namespace {

const CommandSyntax kSyntaxes[] = {
    {"read", kOptionSerial | kOptionOutput, 0, 0, "read", ""},
    {"diff", kOptionSerial | kOptionKeys, 2, 2, "diff A B", ""},
    {"log", kOptionSeconds, 0, 0, "log", ""},
    {"write", kOptionSerial | kOptionYes, 1, 1, "write FILE", ""},
};

TEST(CommandLine, ReadsOptionsWhereverTheyStand)
{
    const CommandLine read = ParseCommandLine({"read", "-o", "a.vtn", "--serial=VT000002"}, kSyntaxes);
    ASSERT_EQ(read.kind, CommandLine::Kind::Run) << read.error;
    EXPECT_EQ(read.invocation.output, "a.vtn");
    EXPECT_EQ(read.invocation.serial, "VT000002");

    const CommandLine diff = ParseCommandLine({"diff", "--keys", "a.vtn", "--", "--odd-name.vtn"}, kSyntaxes);
    ASSERT_EQ(diff.kind, CommandLine::Kind::Run) << diff.error;
    EXPECT_TRUE(diff.invocation.keys);
    EXPECT_EQ(diff.invocation.operands, (std::vector<std::string>{"a.vtn", "--odd-name.vtn"}));
    EXPECT_EQ(ParseCommandLine({"log", "--seconds", "86400"}, kSyntaxes).invocation.seconds, 86400);
    // The short confirmation, and a lone dash is a file name.
    const CommandLine write = ParseCommandLine({"write", "-y", "-"}, kSyntaxes);
    EXPECT_TRUE(write.invocation.yes && !write.invocation.json);
    EXPECT_EQ(write.invocation.operands, (std::vector<std::string>{"-"}));
}

TEST(CommandLine, SaysWhatIsWrongWithIt)
{
    struct Case {
        std::vector<std::string> args;
        CommandLine::Kind kind;
        const char* error;
    };
    using K = CommandLine::Kind;
    const Case cases[] = {
        {{"diff", "a.vtn", "--help", "--bogus"}, K::Help, ""},
        {{"--version"}, K::Version, ""},
        {{"read", "--bogus"}, K::Error, "unknown option '--bogus'"},
        {{"read", "--keys"}, K::Error, "read takes no --keys"},
        {{"read", "--serial"}, K::Error, "--serial needs a value"},
        {{"read", "--output=a.vtn=b"}, K::Run, ""},
        {{"diff", "a.vtn"}, K::Error, "missing operand"},
        {{"diff", "a", "b", "c"}, K::Error, "unexpected operand 'c'"},
        {{"log", "--seconds", "86401"},
         K::Error,
         "--seconds takes a whole number of seconds from 1 to 86400"},
        {{"log", "--seconds", "1.5"}, K::Error, "--seconds takes a whole number of seconds from 1 to 86400"},
        {{"-x"}, K::Error, "unknown option '-x'"},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.args, kSyntaxes);
        EXPECT_EQ(line.kind, c.kind) << c.args.back();
        EXPECT_EQ(line.error, c.error) << c.args.back();
    }
}

TEST(Json, EscapesWhatAStringCannotHoldAsItIs)
{
    JsonObject object;
    object.Add("serial", std::string("VT\"0\\1\n")).AddNull("firmware").Add("bus", 1L).Add("locked", false);
    EXPECT_EQ(JsonArray({object}), R"([{"serial":"VT\"0\\1\u000a","firmware":null,"bus":1,"locked":false}])");
}

}  // namespace
