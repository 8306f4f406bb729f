// The desktop entry, the AppStream metainfo, the icons and the udev rule name
// one another; a rename in one file that misses another breaks the menu entry,
// the software centre's listing or the hardware match without any tool noticing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "UdevRules.h"

namespace {

const std::string kDir = VANTREL_PACKAGING_DIR;
const std::string kAppId = "com.norvanelabs.VantrelStudio";

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::string, std::string> DesktopEntry()
{
    std::map<std::string, std::string> keys;
    std::stringstream lines(ReadFile(kDir + "/" + kAppId + ".desktop"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && line[0] != '#' && line[0] != '[')
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

std::vector<std::string> AllMatches(const std::string& text, const std::string& pattern)
{
    std::vector<std::string> found;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

const std::string kMetainfo = ReadFile(kDir + "/" + kAppId + ".metainfo.xml");

}  // namespace

TEST(DesktopMetadata, DesktopEntryStartsTheInstalledProgramWithItsIcon)
{
    const auto entry = DesktopEntry();
    ASSERT_FALSE(entry.empty());
    // The program takes no arguments, so Exec is the bare program name on PATH.
    EXPECT_EQ(entry.at("Exec"), VANTREL_PROGRAM_NAME);
    EXPECT_EQ(entry.at("Icon"), kAppId);
    EXPECT_EQ(entry.at("Terminal"), "false");
    for (const char* size : {"16", "32", "64", "128", "256"})
        EXPECT_TRUE(std::filesystem::exists(kDir + "/icons/" + size + ".png")) << size;
    EXPECT_TRUE(std::filesystem::exists(kDir + "/icons/" + kAppId + ".svg"));
}

TEST(DesktopMetadata, MetainfoNamesTheDesktopEntryAndTheProgram)
{
    EXPECT_EQ(AllMatches(kMetainfo, "<id>([^<]*)</id>"), std::vector<std::string>{kAppId});
    EXPECT_EQ(AllMatches(kMetainfo, "<launchable type=\"desktop-id\">([^<]*)</launchable>"),
              std::vector<std::string>{kAppId + ".desktop"});
    EXPECT_EQ(AllMatches(kMetainfo, "<binary>([^<]*)</binary>"),
              std::vector<std::string>{VANTREL_PROGRAM_NAME});
}

TEST(DesktopMetadata, NewestReleaseIsTheProjectVersion)
{
    // Releases are listed newest first; a version bump without a release entry
    // shows users the old version in the software centre.
    const auto versions = AllMatches(kMetainfo, "<release version=\"([^\"]*)\"");
    ASSERT_FALSE(versions.empty());
    EXPECT_EQ(versions.front(), VANTREL_PROJECT_VERSION);
}

TEST(DesktopMetadata, HardwareMatchAndUdevRuleCoverTheSameDevices)
{
    // modalias "usb:vA600pE361d*" must name exactly the devices the udev rule opens.
    const auto aliases = AllMatches(kMetainfo, "<modalias>usb:v([0-9A-F]{4}p[0-9A-F]{4})d\\*</modalias>");
    std::set<std::string> fromMetainfo(aliases.begin(), aliases.end());
    EXPECT_EQ(fromMetainfo, (std::set<std::string>{"A600pE361", "A600pE360"}));

    const UdevRulesFile rules = ParseUdevRules(ReadFile(kDir + "/" + VANTREL_UDEV_RULE_NAME));
    for (const std::string& alias : fromMetainfo) {
        std::string vendor = alias.substr(0, 4), product = alias.substr(5, 4);
        for (auto* s : {&vendor, &product})
            for (char& c : *s)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const UdevEvent event{
            "add", "usb", {{"DEVTYPE", "usb_device"}}, {{"idVendor", vendor}, {"idProduct", product}}};
        EXPECT_EQ(RunUdevRules(rules, event).tags.count("uaccess"), 1u) << alias;
    }
}
