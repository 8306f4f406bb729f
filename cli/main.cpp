// vantrel: the unit from a terminal. Starts wx base (settings files, the log)
// and the USB library, then runs the command line.
#include <unistd.h>
#include <wx/init.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "cli/Vantrel.h"
#include "usb/UsbConnection.h"

int main(int argc, char** argv)
{
    const wxInitializer wx;
    if (!wx.IsOk()) {
        std::fputs("vantrel: the wx library cannot start\n", stderr);
        return kExitUnitFailed;
    }
    std::unique_ptr<UsbConnection> usb;
    try {
        // Standard output carries the commands' data only.
        usb = std::make_unique<UsbConnection>(HotplugAnnouncement::None);
    } catch (const std::exception& error) {
        std::cerr << "vantrel: " << error.what() << '\n';
        return kExitNoUnit;
    }
    const Console console{
        std::cout, std::cerr, std::cin, isatty(STDIN_FILENO) != 0, isatty(STDERR_FILENO) != 0, STDOUT_FILENO};
    return RunVantrel(std::vector<std::string>(argv + 1, argv + argc), console);
}
