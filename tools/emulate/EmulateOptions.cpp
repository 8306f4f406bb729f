#include "EmulateOptions.h"

#include <wx/fileconf.h>
#include <wx/wfstream.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "config/SettingsKeys.h"

const char* const EMULATE_USAGE =
    "Usage: vantrel-emulate [options] [--] <command> [arguments...]\n"
    "Runs <command> with virtual shift-assist units attached to a virtual USB bus.\n"
    "\n"
    "  --unit <generation>     add a unit running application generation 100..108 (repeatable;\n"
    "                          without any --unit one generation-108 unit is added)\n"
    "  --bootloader <version>  the units start in their bootloader, version 100 or 101,\n"
    "                          with an erased application flash (see --firmware)\n"
    "  --firmware <version>    the application firmware in the units' flash, 1.00..1.99 (or\n"
    "                          100..199): a running unit reports it as its release instead of\n"
    "                          the --unit generation (1.09 makes a unit newer than the program\n"
    "                          knows); with --bootloader the units wait in their bootloader\n"
    "                          with this application in the flash\n"
    "  --settings <file.vtn>   the units start with the configuration of this settings file,\n"
    "                          loaded as the program loads it, instead of their factory\n"
    "                          configuration (their generation's defaults)\n"
    "  --serial <serial>       serial number of the first unit (default VT000001); further\n"
    "                          units count it up\n"
    "  --count <n>             add n units for each --unit (default 1)\n"
    "  --sibling               also attach the sibling product (0xA600/0xE360)\n"
    "  --other-class           also attach a device of another class\n"
    "  --no-serial             also attach a unit without a serial number string\n"
    "  --fault <spec>          inject a fault into every unit: <kind>[@<target>][+<skip>][x<count>][=<len>]\n"
    "                          kind: stall, timeout, short, disconnect, drop (an OUT request\n"
    "                          acknowledged but not kept); target: a request code\n"
    "                          (0x00..0xff), live or any; skip: transfers let through first;\n"
    "                          count: how many fail (0 = all from then on); len: bytes of a short\n"
    "                          transfer. Example: --fault timeout@live+20x3\n"
    "  --restart-delay <ms>    time a unit is off the bus when it restarts (default 200)\n"
    "  --verbose               describe the attached devices on standard error\n"
    "  --help                  show this text\n"
    "\n"
    "Examples: vantrel-emulate --unit 108 -- lsusb -v -d a600:e361\n"
    "          vantrel-emulate --unit 105 --settings bike.vtn -- build/gui/VantrelStudio\n"
    "          vantrel-emulate --bootloader 101 --firmware 1.07 -- build/gui/VantrelStudio\n";

namespace {

bool ParseNumber(const std::string& text, long low, long high, long& value)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value >= low && value <= high;
}

}  // namespace

std::optional<uint16_t> ParseFirmwareVersion(const std::string& text)
{
    long value = 0;
    const size_t dot = text.find('.');
    if (dot == std::string::npos) {
        return ParseNumber(text, 100, 199, value) ? std::optional<uint16_t>(value) : std::nullopt;
    }
    long major = 0;
    long minor = 0;
    const std::string minorText = text.substr(dot + 1);
    if (!ParseNumber(text.substr(0, dot), 1, 1, major) || minorText.size() != 2 ||
        !ParseNumber(minorText, 0, 99, minor)) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(major * 100 + minor);
}

bool LoadSettingsIntoUnits(EmulateOptions& options, std::string& error)
{
    if (options.settingsFile.empty()) {
        return true;
    }
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(options.settingsFile, ignored)) {
        error = "settings file \"" + options.settingsFile + "\" not found";
        return false;
    }
    // Read from a stream: a store opened on the path would write it back.
    wxFileInputStream stream(wxString::FromUTF8(options.settingsFile));
    if (!stream.IsOk()) {
        error = "settings file \"" + options.settingsFile + "\" cannot be read";
        return false;
    }
    std::unique_ptr<wxFileConfig> store = ReadSettingsStream(stream);
    std::map<SettingsKeySet, DeviceConfiguration> loaded;
    for (UnitOptions& unit : options.devices) {
        if (unit.productId != 0xE361 || !unit.answersVendorRequests) {
            continue;
        }
        const SettingsKeySet keys = unit.generation >= 107 ? SettingsKeySet::Extended : SettingsKeySet::Base;
        if (!loaded.contains(keys)) {
            DeviceConfiguration config;
            ClearConfiguration(config);
            const int32_t result = LoadSettingsKeys(*store, config, keys);
            if (result != 0) {
                error = "settings file \"" + options.settingsFile +
                        "\" is refused by the consistency rules (" + std::to_string(result) +
                        ") for generation " + std::to_string(unit.generation);
                return false;
            }
            loaded[keys] = config;
        }
        unit.configuration = loaded[keys];
    }
    return true;
}

std::string NextSerial(const std::string& serial, int step)
{
    if (step == 0) {
        return serial;
    }
    size_t digits = serial.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(serial[digits - 1])) != 0) {
        --digits;
    }
    if (digits == serial.size()) {
        return serial + "-" + std::to_string(step + 1);
    }
    const std::string number = serial.substr(digits);
    std::string counted = std::to_string(std::stoull(number) + static_cast<unsigned long long>(step));
    if (counted.size() < number.size()) {
        counted.insert(0, number.size() - counted.size(), '0');
    }
    return serial.substr(0, digits) + counted;
}

std::optional<EmulateOptions> ParseEmulateOptions(const std::vector<std::string>& args, std::string& error)
{
    EmulateOptions result;
    std::vector<uint16_t> generations;
    long count = 1;
    std::optional<uint16_t> bootloader;
    std::optional<uint16_t> firmware;
    std::string serial = "VT000001";
    bool sibling = false;
    bool otherClass = false;
    bool noSerial = false;
    long restartDelay = 200;

    size_t i = 0;
    auto value = [&](const std::string& option) -> std::optional<std::string> {
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        return args[++i];
    };
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        long number = 0;
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            return result;
        }
        if (arg == "--verbose") {
            result.verbose = true;
        } else if (arg == "--sibling") {
            sibling = true;
        } else if (arg == "--other-class") {
            otherClass = true;
        } else if (arg == "--no-serial") {
            noSerial = true;
        } else if (arg == "--unit") {
            const auto text = value(arg);
            if (!text || !ParseNumber(*text, 100, 108, number)) {
                error = error.empty() ? "--unit takes a generation from 100 to 108" : error;
                return std::nullopt;
            }
            generations.push_back(static_cast<uint16_t>(number));
        } else if (arg == "--bootloader") {
            const auto text = value(arg);
            if (!text || !ParseNumber(*text, 100, 101, number)) {
                error = error.empty() ? "--bootloader takes version 100 or 101" : error;
                return std::nullopt;
            }
            bootloader = static_cast<uint16_t>(number);
        } else if (arg == "--firmware") {
            const auto text = value(arg);
            firmware = text ? ParseFirmwareVersion(*text) : std::nullopt;
            if (!firmware) {
                error = error.empty() ? "--firmware takes a version from 1.00 to 1.99" : error;
                return std::nullopt;
            }
        } else if (arg == "--settings") {
            const auto text = value(arg);
            if (!text || text->empty()) {
                error = error.empty() ? "--settings needs a settings file" : error;
                return std::nullopt;
            }
            result.settingsFile = *text;
        } else if (arg == "--serial") {
            const auto text = value(arg);
            if (!text || text->empty()) {
                error = error.empty() ? "--serial needs a serial number" : error;
                return std::nullopt;
            }
            serial = *text;
        } else if (arg == "--count") {
            const auto text = value(arg);
            if (!text || !ParseNumber(*text, 1, 100, number)) {
                error = error.empty() ? "--count takes a number from 1 to 100" : error;
                return std::nullopt;
            }
            count = number;
        } else if (arg == "--restart-delay") {
            const auto text = value(arg);
            if (!text || !ParseNumber(*text, 0, 600000, number)) {
                error = error.empty() ? "--restart-delay takes milliseconds" : error;
                return std::nullopt;
            }
            restartDelay = number;
        } else if (arg == "--fault") {
            const auto text = value(arg);
            const std::optional<FaultSpec> fault = text ? ParseFaultSpec(*text) : std::nullopt;
            if (!fault) {
                error = error.empty() ? "bad fault \"" + (text ? *text : std::string()) + "\"" : error;
                return std::nullopt;
            }
            result.faults.push_back(*fault);
        } else if (arg.rfind('-', 0) == 0) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            break;  // the command starts here
        }
    }
    result.command.assign(args.begin() + static_cast<std::ptrdiff_t>(std::min(i, args.size())), args.end());
    if (result.command.empty()) {
        error = "no command given";
        return std::nullopt;
    }

    if (generations.empty()) {
        generations.push_back(108);
    }
    int made = 0;
    for (const uint16_t generation : generations) {
        for (long copy = 0; copy < count; ++copy) {
            UnitOptions unit;
            unit.generation = firmware.value_or(generation);
            unit.serial = NextSerial(serial, made++);
            unit.restartDelay = std::chrono::milliseconds(restartDelay);
            if (bootloader) {
                unit.personality = Personality::Bootloader;
                unit.bootloaderVersion = *bootloader;
                unit.validApplication = firmware.has_value();
            }
            result.devices.push_back(unit);
        }
    }
    if (noSerial) {
        UnitOptions unit = UnitOptions::NoSerial();
        unit.restartDelay = std::chrono::milliseconds(restartDelay);
        result.devices.push_back(unit);
    }
    if (sibling) {
        result.devices.push_back(UnitOptions::Sibling());
    }
    if (otherClass) {
        result.devices.push_back(UnitOptions::OtherClass());
    }
    return result;
}
