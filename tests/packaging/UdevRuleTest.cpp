// The udev rule that lets the user at the seat open the unit: it must parse,
// tag exactly the unit's and the sibling's device nodes for uaccess in every
// event that keeps a node, and never open a node to everybody.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "UdevRules.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The one rules file of packaging/, chosen by the build.
const std::string kRuleName = VANTREL_UDEV_RULE_NAME;
const std::string kRulePath = std::string(VANTREL_PACKAGING_DIR) + "/" + kRuleName;

UdevEvent UsbEvent(const std::string& action, const std::string& devtype, const std::string& vendor,
                   const std::string& product)
{
    return UdevEvent{action, "usb", {{"DEVTYPE", devtype}}, {{"idVendor", vendor}, {"idProduct", product}}};
}

}  // namespace

TEST(UdevRule, ParsesWithoutErrors)
{
    const std::string text = ReadFile(kRulePath);
    ASSERT_FALSE(text.empty()) << kRulePath;
    const UdevRulesFile file = ParseUdevRules(text);
    for (const std::string& error : file.errors)
        ADD_FAILURE() << kRulePath << " " << error;
    EXPECT_FALSE(file.rules.empty());
}

TEST(UdevRule, ReaderRejectsBrokenLines)
{
    // The reader must catch what udevd would skip, or the test above proves nothing.
    const struct {
        const char* line;
    } broken[] = {
        {R"(ATTR{idVendor}=="a600" TAG+="uaccess")"},    // missing comma
        {R"(ATTR{idVendor}=="a600", TAG+="uaccess)"},    // unterminated quote
        {R"(ATTR=="a600", TAG+="uaccess")"},             // ATTR without a name
        {R"(ATTRS{idVendor}=="a600", TAG+="uaccess")"},  // key this reader does not run
        {R"(SUBSYSTEM!="usb", GOTO="nowhere")"},         // jump without a label
        {R"(ATTR{idVendor}=a600, TAG+="uaccess")"},      // unquoted value
    };
    for (const auto& c : broken)
        EXPECT_FALSE(ParseUdevRules(c.line).errors.empty()) << c.line;
}

TEST(UdevRule, TagsTheUnitAndTheSiblingOnly)
{
    const UdevRulesFile file = ParseUdevRules(ReadFile(kRulePath));
    const struct {
        const char* what;
        UdevEvent event;
        bool uaccess;
    } cases[] = {
        {"unit plugged in (application or bootloader)", UsbEvent("add", "usb_device", "a600", "e361"), true},
        {"unit bound to the driver core", UsbEvent("bind", "usb_device", "a600", "e361"), true},
        // udevadm trigger and the package scripts send change; the tag must survive it.
        {"unit re-triggered", UsbEvent("change", "usb_device", "a600", "e361"), true},
        {"sibling product", UsbEvent("add", "usb_device", "a600", "e360"), true},
        {"interface of the unit (no device node)", UsbEvent("add", "usb_interface", "a600", "e361"), false},
        {"other product of the vendor", UsbEvent("add", "usb_device", "a600", "e362"), false},
        {"other vendor, same product id", UsbEvent("add", "usb_device", "a601", "e361"), false},
        {"root hub", UsbEvent("add", "usb_device", "1d6b", "0002"), false},
        {"unit unplugged", UsbEvent("remove", "usb_device", "a600", "e361"), false},
        {"same ids on another subsystem",
         UdevEvent{"add", "hidraw", {}, {{"idVendor", "a600"}, {"idProduct", "e361"}}}, false},
    };
    for (const auto& c : cases) {
        const UdevOutcome outcome = RunUdevRules(file, c.event);
        EXPECT_EQ(outcome.tags.count("uaccess") == 1, c.uaccess) << c.what;
    }
}

TEST(UdevRule, GivesNobodyElseAccess)
{
    const UdevRulesFile file = ParseUdevRules(ReadFile(kRulePath));
    for (const UdevRule& rule : file.rules) {
        for (const UdevToken& token : rule.tokens) {
            if (token.key == "MODE") {
                // Any bit for "others" opens the unit to every local account.
                const unsigned long mode = std::stoul(token.value, nullptr, 8);
                EXPECT_EQ(mode & 07u, 0u) << "line " << rule.line << " MODE=\"" << token.value << "\"";
            }
            EXPECT_NE(token.key, "GROUP") << "line " << rule.line << ": a group would outlast the session";
            EXPECT_NE(token.key, "OWNER") << "line " << rule.line;
        }
    }
}

TEST(UdevRule, SortsBeforeTheSeatRules)
{
    // 73-seat-late.rules turns the uaccess tag into the session's ACL; a tag set
    // by a file sorting after it is never applied.
    EXPECT_LT(kRuleName, std::string("73-seat-late.rules"));
}
