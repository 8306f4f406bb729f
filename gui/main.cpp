// Program entry: the USB library is initialised before the toolkit starts, and
// a missing display is reported in plain words instead of a toolkit trace.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

#include <wx/app.h>

#include "gui/VTX_GUIApp.h"
#include "usb/UsbConnection.h"

wxIMPLEMENT_APP_NO_MAIN(VTX_GUIApp);

int main(int argc, char** argv)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland)) {
        std::fprintf(stderr,
                     "VantrelStudio needs a graphical display, and none is set (DISPLAY and "
                     "WAYLAND_DISPLAY are empty).\nRun it from a desktop session, or under a virtual "
                     "display: xvfb-run -a VantrelStudio\n");
        return 1;
    }
    // The USB library context lives for the whole run of the toolkit.
    std::unique_ptr<UsbConnection> usb;
    try {
        usb = std::make_unique<UsbConnection>();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return wxEntry(argc, argv);
}
