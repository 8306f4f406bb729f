#include "UsbDeviceStrings.h"

#include <sys/stat.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

constexpr int STRING_BUFFER_SIZE = 384;

enum class StringKind { Manufacturer = 0, Product = 1, Serial = 2 };

#ifdef VANTREL_HAVE_LIBUSB_GET_DEVICE_STRING

// Calls the library's string reader with the string type converted to
// whatever enumeration its declaration names.
template <typename Result, typename Device, typename Type, typename Data, typename Length>
int CallGetDeviceString(Result (*function)(Device, Type, Data, Length), libusb_device* device, int type,
                        char* data, int length)
{
    return function(device, static_cast<Type>(type), data, length);
}

// The library reads the strings itself without opening the device.
class StringSource {
public:
    explicit StringSource(libusb_device* device) : device(device) {}
    std::string Read(StringKind kind, uint8_t)
    {
        char buffer[STRING_BUFFER_SIZE] = {};
        const int result = CallGetDeviceString(&libusb_get_device_string, device, static_cast<int>(kind),
                                               buffer, STRING_BUFFER_SIZE);
        return result >= 1 ? std::string(buffer, static_cast<size_t>(result)) : std::string();
    }

private:
    libusb_device* device;
};

#else

const char* SysfsAttribute(StringKind kind)
{
    switch (kind) {
        case StringKind::Manufacturer:
            return "manufacturer";
        case StringKind::Product:
            return "product";
        case StringKind::Serial:
            break;
    }
    return "serial";
}

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Linux keeps the strings the kernel read at enumeration in sysfs. Elsewhere
// (no sysfs directory) the device is opened for the read and closed again.
class StringSource {
public:
    explicit StringSource(libusb_device* device) : device(device)
    {
        const std::string name = SysfsDeviceName(device);
        if (!name.empty() && IsDirectory("/sys/bus/usb/devices/" + name)) {
            sysfsDir = "/sys/bus/usb/devices/" + name + "/";
        }
    }
    StringSource(const StringSource&) = delete;
    StringSource& operator=(const StringSource&) = delete;
    ~StringSource()
    {
        if (handle != nullptr) {
            libusb_close(handle);
        }
    }

    std::string Read(StringKind kind, uint8_t index)
    {
        if (sysfsDir) {
            return ReadSysfs(*sysfsDir + SysfsAttribute(kind));
        }
        return ReadThroughHandle(index);
    }

private:
    static std::string ReadSysfs(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return {};
        }
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (text.size() >= STRING_BUFFER_SIZE) {
            text.resize(STRING_BUFFER_SIZE - 1);
        }
        // The kernel ends every attribute with a line feed.
        while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) {
            text.pop_back();
        }
        return text;
    }

    std::string ReadThroughHandle(uint8_t index)
    {
        if (!openTried) {
            openTried = true;
            if (libusb_open(device, &handle) < 0) {
                handle = nullptr;
            }
        }
        if (handle == nullptr) {
            return {};
        }
        unsigned char buffer[STRING_BUFFER_SIZE] = {};
        const int result = libusb_get_string_descriptor_ascii(handle, index, buffer, STRING_BUFFER_SIZE);
        return result >= 1 ? std::string(reinterpret_cast<char*>(buffer), static_cast<size_t>(result))
                           : std::string();
    }

    libusb_device* device;
    std::optional<std::string> sysfsDir;
    libusb_device_handle* handle = nullptr;
    bool openTried = false;
};

#endif

}  // namespace

std::string SysfsDeviceName(libusb_device* device)
{
    uint8_t ports[8] = {};
    const int depth = libusb_get_port_numbers(device, ports, static_cast<int>(sizeof ports));
    if (depth == 0) {
        return "usb" + std::to_string(libusb_get_bus_number(device));  // a root hub
    }
    if (depth < 0) {
        return {};
    }
    std::string name = std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < depth; ++i) {
        if (i > 0) {
            name += '.';
        }
        name += std::to_string(ports[i]);
    }
    return name;
}

DeviceStrings ReadDeviceStrings(libusb_device* device, const libusb_device_descriptor& descriptor)
{
    DeviceStrings strings;
    StringSource source(device);
    if (descriptor.iSerialNumber != 0) {
        strings.serialNumber = source.Read(StringKind::Serial, descriptor.iSerialNumber);
    }
    if (descriptor.iProduct != 0) {
        strings.productName = source.Read(StringKind::Product, descriptor.iProduct);
    }
    if (descriptor.iManufacturer != 0) {
        strings.manufacturerName = source.Read(StringKind::Manufacturer, descriptor.iManufacturer);
    }
    return strings;
}
