// Owns the program's libusb default context and registers the hot-plug
// callbacks when the library supports hot-plug.
#pragma once

struct libusb_context;
struct libusb_device;

// Whether the arrivals the hot-plug registration reports are announced on
// standard output. The command-line program keeps its standard output for
// its data.
enum class HotplugAnnouncement { StandardOutput, None };

class UsbConnection {
public:
    // Throws std::runtime_error("ERROR: failed to initialize libusb, error %d").
    explicit UsbConnection(HotplugAnnouncement announcement = HotplugAnnouncement::StandardOutput);
    UsbConnection(const UsbConnection&) = delete;
    UsbConnection& operator=(const UsbConnection&) = delete;
    virtual ~UsbConnection();  // libusb_exit of the default context

    // Writes "HotplugCallback" to standard output; returns 0.
    static int HotplugCallback(libusb_context* context, libusb_device* device, int event, void* userData);
};
