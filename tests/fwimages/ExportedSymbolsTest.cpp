// The library exports GetFwFile and nothing else, and needs no library but the
// C runtime (and the sanitizer runtimes in sanitizer builds).
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> OutputLines(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    EXPECT_NE(pipe, nullptr) << command;
    std::vector<std::string> lines;
    if (pipe == nullptr) {
        return lines;
    }
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        text += buffer;
    }
    EXPECT_EQ(pclose(pipe.release()), 0) << command;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Quoted(const char* path)
{
    return std::string("'") + path + "'";
}

TEST(ExportedSymbols, GetFwFileIsTheOnlyDefinedDynamicSymbol)
{
    // "<address> <kind> <name>" per defined symbol of the dynamic symbol table.
    const auto lines = OutputLines(Quoted(VANTREL_NM) + " -D --defined-only " + Quoted(VANTREL_LIBRARY_FILE));
    std::set<std::string> names;
    for (const std::string& line : lines) {
        std::istringstream fields(line);
        std::string address, kind, name;
        fields >> address >> kind >> name;
        names.insert(name);
        if (name == "GetFwFile") {
            EXPECT_EQ(kind, "T");
        }
    }
    EXPECT_EQ(names, std::set<std::string>{"GetFwFile"});
}

// The bracketed name of a dynamic-section line such as
// " 0x... (NEEDED)  Shared library: [libc.so.6]".
std::string BracketedName(const std::string& line)
{
    const size_t open = line.find('[');
    const size_t close = line.find(']', open);
    return open == std::string::npos || close == std::string::npos ? ""
                                                                   : line.substr(open + 1, close - open - 1);
}

TEST(ExportedSymbols, NeedsOnlyTheCRuntimeAndCarriesItsSoname)
{
    const auto lines = OutputLines(Quoted(VANTREL_READELF) + " -d " + Quoted(VANTREL_LIBRARY_FILE));
    std::string soname;
    for (const std::string& line : lines) {
        if (line.find("(SONAME)") != std::string::npos) {
            soname = BracketedName(line);
        }
        if (line.find("(NEEDED)") == std::string::npos) {
            continue;
        }
        const std::string library = BracketedName(line);
        const bool allowed = library.starts_with("libc.so") || library.starts_with("libasan.so") ||
                             library.starts_with("libubsan.so") || library.starts_with("libclang_rt");
        EXPECT_TRUE(allowed) << library;
    }
    EXPECT_EQ(soname, "libVantrel.so.1");
}

}  // namespace
