#include "UsbConnection.h"

#include <libusb.h>

#include <cstdio>
#include <stdexcept>

namespace {

using HotplugFunction = int (*)(libusb_context*, libusb_device*, int, void*);

// The library gets the address of this holder as its user data; the
// forwarder below finds the callback in it.
HotplugFunction hotplugFunction = &UsbConnection::HotplugCallback;

// True on the thread that registers, while it registers. libusb also runs the
// callbacks later, inside the event handling of any transfer, whenever a
// device comes or goes; the program writes its text only for the devices
// that the registration reports, so those later calls end here.
thread_local bool registering = false;

int LIBUSB_CALL ForwardHotplug(libusb_context* context, libusb_device* device, libusb_hotplug_event event,
                               void* userData)
{
    if (!registering) {
        return 0;
    }
    const auto function = *static_cast<HotplugFunction*>(userData);
    return function(context, device, static_cast<int>(event), userData);
}

}  // namespace

UsbConnection::UsbConnection(HotplugAnnouncement announcement)
{
#ifdef VANTREL_HAVE_LIBUSB_INIT_CONTEXT
    const int result = libusb_init_context(nullptr, nullptr, 0);
#else
    const int result = libusb_init(nullptr);
#endif
    if (result < 0) {
        char text[64];
        std::snprintf(text, sizeof text, "ERROR: failed to initialize libusb, error %d", result);
        throw std::runtime_error(text);
    }
    if (announcement == HotplugAnnouncement::StandardOutput &&
        libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0) {
        // The handles are not kept: the callbacks live as long as the context.
        registering = true;
        libusb_hotplug_register_callback(
            nullptr, LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT, LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY,
            LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, &ForwardHotplug, &hotplugFunction, nullptr);
        libusb_hotplug_register_callback(
            nullptr, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, LIBUSB_HOTPLUG_ENUMERATE, LIBUSB_HOTPLUG_MATCH_ANY,
            LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, &ForwardHotplug, &hotplugFunction, nullptr);
        registering = false;
    }
}

UsbConnection::~UsbConnection()
{
    libusb_exit(nullptr);
}

int UsbConnection::HotplugCallback(libusb_context*, libusb_device*, int, void*)
{
    std::fputs("HotplugCallback", stdout);
    std::fflush(stdout);
    return 0;
}
