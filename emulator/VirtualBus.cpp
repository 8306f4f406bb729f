#include "VirtualBus.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <stdexcept>
#include <thread>

#include "UnitDescriptors.h"

namespace {

// Holds one reference on a piece of the client's ioctl argument.
class DataRef {
public:
    DataRef() = default;
    explicit DataRef(UMockdevIoctlData* data) : data(data) {}
    DataRef(DataRef&& other) noexcept : data(other.data) { other.data = nullptr; }
    DataRef& operator=(DataRef&& other) noexcept
    {
        std::swap(data, other.data);
        return *this;
    }
    DataRef(const DataRef&) = delete;
    DataRef& operator=(const DataRef&) = delete;
    ~DataRef()
    {
        if (data != nullptr) {
            g_object_unref(data);
        }
    }
    UMockdevIoctlData* get() const { return data; }
    explicit operator bool() const { return data != nullptr; }

private:
    UMockdevIoctlData* data = nullptr;
};

DataRef Resolve(UMockdevIoctlData* parent, gsize offset, gsize length)
{
    GError* error = nullptr;
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(parent, offset, length, &error);
    if (error != nullptr) {
        g_error_free(error);
    }
    return DataRef(data);
}

// A URB the unit has taken: either complete and waiting to be reaped, or in
// flight until the host discards it.
struct Urb {
    DataRef urb;
    DataRef buffer;
    int status = 0;
    int actualLength = 0;
    std::vector<uint8_t> payload;  // IN data to copy into the buffer when reaped
    size_t payloadOffset = 0;      // 8 for control transfers: the setup comes first
};

usbdevfs_urb* UrbOf(const DataRef& data)
{
    return reinterpret_cast<usbdevfs_urb*>(data.get()->data);
}

bool DebugEnabled()
{
    static const bool enabled = std::getenv("VANTREL_EMULATOR_DEBUG") != nullptr;
    return enabled;
}

std::string EscapeAttribute(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c != '\n' && c != '\r') {
            escaped += c;
        }
    }
    return escaped;
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char digits[3];
    for (const uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        text += digits;
    }
    return text;
}

}  // namespace

// What usbfs keeps per open file of a device node: the URBs submitted
// through it, complete and waiting to be reaped, or in flight until the host
// discards them. Another file never reaps them.
struct ClientFile {
    std::vector<Urb> inFlight;
    std::deque<Urb> done;
};

// One arrival of a device: its usbfs node, the ioctl handler answering it,
// and its open files. Kept until the bus goes, because umockdev may still
// call the handler for a client that opened the node before it was pulled.
//
// umockdev has one client object per open file descriptor. It marks a client
// as no longer connected when the program closes its descriptor (without a
// signal in every version), so closed files are swept before each ioctl; a
// reference on each client keeps its address from being reused meanwhile.
struct Attachment {
    VirtualBus* bus = nullptr;
    VirtualBus::Slot* slot = nullptr;
    VirtualUnit* unit = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    std::string devnode;
    std::mutex mutex;
    std::map<UMockdevIoctlClient*, ClientFile> files;
    // The open file that holds interface 0, if any; closing it lets go.
    UMockdevIoctlClient* claimant = nullptr;
    // The kernel configures a device when it arrives; configuration 0 (or -1)
    // takes its interfaces away until configuration 1 is set again.
    bool configured = true;
    bool gone = false;

    ~Attachment()
    {
        for (auto& entry : files) {
            g_object_unref(entry.first);
        }
        if (handler != nullptr) {
            g_object_unref(handler);
        }
    }

    // The state of an open file. Mutex held.
    ClientFile& File(UMockdevIoctlClient* client)
    {
        const auto [entry, added] = files.try_emplace(client);
        if (added) {
            g_object_ref(client);
        }
        return entry->second;
    }

    // Files the program has closed give up their claim and their URBs, as
    // closing a usbfs file does. Mutex held.
    void SweepClosedFiles()
    {
        for (auto entry = files.begin(); entry != files.end();) {
            if (umockdev_ioctl_client_get_connected(entry->first) != FALSE) {
                ++entry;
                continue;
            }
            if (claimant == entry->first) {
                claimant = nullptr;
            }
            g_object_unref(entry->first);
            entry = files.erase(entry);
        }
    }

    // The cable is pulled: everything in flight ends with "no device". Mutex held.
    void FailAll()
    {
        gone = true;
        for (auto& [client, file] : files) {
            for (Urb& urb : file.inFlight) {
                urb.status = -ENODEV;
                urb.actualLength = 0;
                urb.payload.clear();
                file.done.push_back(std::move(urb));
            }
            file.inFlight.clear();
        }
    }

    // Waits until no other open file holds interface 0; false when one
    // still does after a moment. Mutex not held.
    //
    // Closing a file is instant in the kernel, but umockdev learns of it on
    // its worker's main loop, perhaps after a request of another file that
    // was sent later. So before it calls the interface busy, this waits a
    // moment for umockdev to catch up with a close already made.
    bool FreeOfOthers(UMockdevIoctlClient* client)
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        for (;;) {
            {
                std::lock_guard lock(mutex);
                SweepClosedFiles();
                if (claimant == nullptr || claimant == client) {
                    return true;
                }
                if (std::chrono::steady_clock::now() > giveUp) {
                    return false;
                }
            }
            // Without the mutex: this may answer other files' requests.
            GMainContext* context = g_main_context_get_thread_default();
            if (context == nullptr || !g_main_context_iteration(context, FALSE)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    }

    // Claims interface 0 for the file, as CLAIMINTERFACE does, and as usbfs
    // does before a transfer on the interface for a file that has not: 0, or
    // the error usbfs answers (an unconfigured device has no interface 0).
    int Claim(UMockdevIoctlClient* client)
    {
        {
            std::lock_guard lock(mutex);
            if (!configured) {
                return ENOENT;
            }
        }
        if (!FreeOfOthers(client)) {
            return EBUSY;
        }
        std::lock_guard lock(mutex);
        File(client);
        claimant = client;
        return 0;
    }

    bool Holds(UMockdevIoctlClient* client)
    {
        std::lock_guard lock(mutex);
        return claimant == client;
    }
};

struct VirtualBus::Slot {
    std::unique_ptr<VirtualUnit> unit;
    uint8_t port = 0;
    uint8_t address = 0;
    bool attached = false;
    std::string sysPath;
    Attachment* attachment = nullptr;
    std::vector<std::unique_ptr<Attachment>> attachments;
    uint32_t arrivals = 0;
    enum class Pending : uint8_t { None, Leave, Arrive, Unplug };
    Pending pending = Pending::None;
    std::chrono::steady_clock::time_point dueAt;
};

// Gives the ioctl handler, which lives outside the class, the bus's scheduling.
struct SlotAccess {
    static void Restart(VirtualBus& bus, VirtualBus::Slot& slot)
    {
        std::lock_guard lock(bus.mutex);
        // The unit answers the request before it resets; leave right after.
        slot.pending = VirtualBus::Slot::Pending::Leave;
        slot.dueAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(5);
        bus.changed.notify_all();
    }
    static void Pulled(VirtualBus& bus, VirtualBus::Slot& slot)
    {
        std::lock_guard lock(bus.mutex);
        if (slot.pending == VirtualBus::Slot::Pending::Leave) {
            return;  // a restart takes it off the bus anyway
        }
        slot.pending = VirtualBus::Slot::Pending::Unplug;
        slot.dueAt = std::chrono::steady_clock::now();
        bus.changed.notify_all();
    }
};

namespace {

void CompleteOk(UMockdevIoctlClient* client, int result = 0)
{
    umockdev_ioctl_client_complete(client, result, 0);
}

void CompleteError(UMockdevIoctlClient* client, int error)
{
    umockdev_ioctl_client_complete(client, -1, error);
}

void Submit(Attachment& a, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    DataRef urbData = Resolve(arg, 0, sizeof(usbdevfs_urb));
    if (!urbData) {
        CompleteError(client, EFAULT);
        return;
    }
    usbdevfs_urb* urb = UrbOf(urbData);
    if (urb->buffer_length < 0) {
        CompleteError(client, EINVAL);
        return;
    }
    DataRef buffer;
    if (urb->buffer_length > 0) {
        buffer =
            Resolve(urbData.get(), offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length));
        if (!buffer) {
            CompleteError(client, EFAULT);
            return;
        }
    }
    uint8_t* bytes = buffer ? buffer.get()->data : nullptr;
    TransferOutcome outcome;
    Urb taken;
    bool in = false;
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
        if (urb->buffer_length < 8) {
            CompleteError(client, EINVAL);
            return;
        }
        UsbSetupPacket setup{};
        std::memcpy(&setup, bytes, sizeof setup);
        const int room = urb->buffer_length - 8;
        if (setup.wLength > room) {
            CompleteError(client, EINVAL);
            return;
        }
        in = (setup.bmRequestType & 0x80) != 0;
        // A request to interface 0 needs the interface, as a transfer on its endpoint does.
        const bool toInterface0 = (setup.bmRequestType & 0x1F) == 0x01 && (setup.wIndex & 0xFF) == 0;
        if (const int error = toInterface0 ? a.Claim(client) : 0; error != 0) {
            CompleteError(client, error);
            return;
        }
        outcome = a.unit->HandleControl(setup, in ? nullptr : bytes + 8);
        taken.payloadOffset = 8;
    } else if (urb->type == USBDEVFS_URB_TYPE_INTERRUPT) {
        if ((urb->endpoint & 0x80) == 0 || urb->endpoint != LIVE_ENDPOINT_ADDRESS) {
            CompleteError(client, ENOENT);  // no such endpoint
            return;
        }
        if (const int error = a.Claim(client); error != 0) {
            CompleteError(client, error);
            return;
        }
        in = true;
        outcome = a.unit->HandleInterrupt(urb->endpoint, static_cast<uint32_t>(urb->buffer_length));
    } else {
        CompleteError(client, EINVAL);
        return;
    }

    taken.urb = std::move(urbData);
    taken.buffer = std::move(buffer);
    bool pulled = false;
    {
        std::lock_guard lock(a.mutex);
        ClientFile& file = a.File(client);
        if (a.gone) {
            // The cable was pulled while the unit worked on this one.
            outcome.status = TransferOutcome::Status::Disconnect;
        }
        switch (outcome.status) {
            case TransferOutcome::Status::Ok:
            case TransferOutcome::Status::Overflow:
                // Babble: the buffer is full and the URB ends with -EOVERFLOW.
                taken.status = outcome.status == TransferOutcome::Status::Overflow ? -EOVERFLOW : 0;
                taken.actualLength =
                    in ? static_cast<int>(outcome.data.size()) : static_cast<int>(outcome.accepted);
                taken.payload = std::move(outcome.data);
                file.done.push_back(std::move(taken));
                break;
            case TransferOutcome::Status::Stall:
                taken.status = -EPIPE;
                file.done.push_back(std::move(taken));
                break;
            case TransferOutcome::Status::Timeout:
                file.inFlight.push_back(std::move(taken));
                break;
            case TransferOutcome::Status::Disconnect:
                file.inFlight.push_back(std::move(taken));
                a.FailAll();
                pulled = true;
                break;
        }
    }
    CompleteOk(client);
    if (pulled) {
        SlotAccess::Pulled(*a.bus, *a.slot);
    }
    if (a.unit->TakeBusAction() != BusAction::None) {
        SlotAccess::Restart(*a.bus, *a.slot);
    }
}

void Reap(Attachment& a, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Urb urb;
    {
        std::lock_guard lock(a.mutex);
        ClientFile& file = a.File(client);
        if (file.done.empty()) {
            CompleteError(client, a.gone ? ENODEV : EAGAIN);
            return;
        }
        urb = std::move(file.done.front());
        file.done.pop_front();
    }
    usbdevfs_urb* raw = UrbOf(urb.urb);
    raw->status = urb.status;
    raw->actual_length = urb.actualLength;
    if (urb.buffer && !urb.payload.empty()) {
        const size_t room = static_cast<size_t>(urb.buffer.get()->data_len) - urb.payloadOffset;
        std::memcpy(urb.buffer.get()->data + urb.payloadOffset, urb.payload.data(),
                    std::min(room, urb.payload.size()));
    }
    DataRef pointer = Resolve(arg, 0, sizeof(gpointer));
    if (!pointer) {
        CompleteError(client, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(pointer.get(), 0, urb.urb.get());
    CompleteOk(client);
}

void Discard(Attachment& a, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    const gulong address = reinterpret_cast<gulong>(*reinterpret_cast<void**>(arg->data));
    std::lock_guard lock(a.mutex);
    ClientFile& file = a.File(client);
    const auto found = std::find_if(file.inFlight.begin(), file.inFlight.end(),
                                    [&](const Urb& urb) { return urb.urb.get()->client_addr == address; });
    if (found == file.inFlight.end()) {
        CompleteError(client, EINVAL);  // already complete
        return;
    }
    // The next reap hands it back as cancelled.
    found->status = -ENOENT;
    found->actualLength = 0;
    found->payload.clear();
    file.done.push_front(std::move(*found));
    file.inFlight.erase(found);
    CompleteOk(client);
}

gboolean HandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer user)
{
    auto& a = *static_cast<Attachment*>(user);
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);

    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        Reap(a, client, arg);
        return TRUE;
    }
    if (request == USBDEVFS_DISCARDURB) {
        // Also after the cable is pulled: libusb gives up its transfers this way.
        Discard(a, client, arg);
        return TRUE;
    }
    {
        std::lock_guard lock(a.mutex);
        a.SweepClosedFiles();
        if (a.gone) {
            CompleteError(client, ENODEV);
            return TRUE;
        }
    }
    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            DataRef caps = Resolve(arg, 0, sizeof(guint32));
            if (!caps) {
                CompleteError(client, EFAULT);
                return TRUE;
            }
            *reinterpret_cast<guint32*>(caps.get()->data) =
                USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            CompleteOk(client);
            return TRUE;
        }
        case USBDEVFS_SETCONFIGURATION: {
            DataRef value = Resolve(arg, 0, sizeof(int));
            const int config = value ? *reinterpret_cast<int*>(value.get()->data) : -2;
            // usbfs leaves the configuration of a device with a claimed interface alone.
            const bool claimed = !a.FreeOfOthers(client) || a.Holds(client);
            if (claimed) {
                CompleteError(client, EBUSY);
            } else if (config == 1 || config == 0 || config == -1) {
                {
                    std::lock_guard lock(a.mutex);
                    a.configured = config == 1;
                }
                CompleteOk(client);
            } else {
                CompleteError(client, EINVAL);
            }
            return TRUE;
        }
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_RELEASEINTERFACE: {
            DataRef value = Resolve(arg, 0, sizeof(unsigned int));
            if (!value) {
                CompleteError(client, EFAULT);
                return TRUE;
            }
            if (*reinterpret_cast<unsigned int*>(value.get()->data) != 0) {
                // There is no other interface; usbfs cannot claim it and holds no claim on it.
                CompleteError(client, request == USBDEVFS_CLAIMINTERFACE ? ENOENT : EINVAL);
                return TRUE;
            }
            int error = 0;
            if (request == USBDEVFS_CLAIMINTERFACE) {
                error = a.Claim(client);
            } else {
                std::lock_guard lock(a.mutex);
                if (a.claimant == client) {
                    a.claimant = nullptr;
                } else {
                    error = EINVAL;  // this file does not hold it
                }
            }
            if (error == 0) {
                CompleteOk(client);
            } else {
                CompleteError(client, error);
            }
            return TRUE;
        }
        case USBDEVFS_SETINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
        case USBDEVFS_RESET:
        case USBDEVFS_DISCONNECT_CLAIM:
            CompleteOk(client);
            return TRUE;
        case USBDEVFS_GETDRIVER:
        case USBDEVFS_IOCTL:
            CompleteError(client, ENODATA);  // no kernel driver is bound
            return TRUE;
        case USBDEVFS_GET_SPEED:
            CompleteOk(client, 2);  // full speed
            return TRUE;
        case USBDEVFS_SUBMITURB:
            Submit(a, client, arg);
            return TRUE;
        default:
            if (DebugEnabled()) {
                std::fprintf(stderr, "vantrel emulator: unhandled ioctl 0x%lx on %s\n", request,
                             a.devnode.c_str());
            }
            CompleteError(client, ENOTTY);
            return TRUE;
    }
}

}  // namespace

VirtualBus::VirtualBus()
{
    testbed = umockdev_testbed_new();
    if (testbed == nullptr) {
        throw std::runtime_error("umockdev testbed could not be created");
    }
    // libusb looks for usbfs and sysfs before any device exists.
    gchar* root = umockdev_testbed_get_root_dir(testbed);
    const std::string base = root;
    g_free(root);
    g_mkdir_with_parents((base + "/dev/bus/usb").c_str(), 0755);
    g_mkdir_with_parents((base + "/sys/bus/usb/devices").c_str(), 0755);
    thread = std::thread([this] { BusThread(); });
}

VirtualBus::~VirtualBus()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
        changed.notify_all();
    }
    thread.join();
    {
        std::lock_guard ops(opsMutex);
        for (auto& slot : slots) {
            if (slot->attached) {
                Detach(*slot);
            }
        }
    }
    slots.clear();
    g_object_unref(testbed);
}

bool VirtualBus::InMockEnvironment()
{
    // The preload must be in place before the process starts; UMOCKDEV_DIR is
    // only set once a testbed exists, so look at the preload itself.
    const char* preload = std::getenv("LD_PRELOAD");
    return umockdev_in_mock_environment() != FALSE ||
           (preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr);
}

VirtualUnit& VirtualBus::AddUnit(const UnitOptions& options)
{
    auto slot = std::make_unique<Slot>();
    slot->unit = std::make_unique<VirtualUnit>(options);
    Slot& added = *slot;
    {
        std::lock_guard lock(mutex);
        if (slots.size() >= 127) {
            throw std::runtime_error("the virtual bus has no free port");
        }
        added.port = static_cast<uint8_t>(slots.size() + 1);
        added.sysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(added.port);
        slots.push_back(std::move(slot));
    }
    std::lock_guard ops(opsMutex);
    Attach(added);
    return *added.unit;
}

VirtualUnit& VirtualBus::AddSibling(const std::string& serial)
{
    return AddUnit(UnitOptions::Sibling(serial));
}

VirtualUnit& VirtualBus::AddOtherClassDevice(const std::string& serial)
{
    return AddUnit(UnitOptions::OtherClass(serial));
}

VirtualUnit& VirtualBus::AddNoSerialDevice()
{
    return AddUnit(UnitOptions::NoSerial());
}

void VirtualBus::Unplug(VirtualUnit& unit)
{
    Slot& slot = SlotOf(unit);
    std::lock_guard ops(opsMutex);
    {
        std::lock_guard lock(mutex);
        slot.pending = Slot::Pending::None;
    }
    if (slot.attached) {
        Detach(slot);
    }
    changed.notify_all();
}

void VirtualBus::Replug(VirtualUnit& unit)
{
    Slot& slot = SlotOf(unit);
    std::lock_guard ops(opsMutex);
    {
        std::lock_guard lock(mutex);
        slot.pending = Slot::Pending::None;
    }
    if (!slot.attached) {
        Attach(slot);
    }
}

bool VirtualBus::IsAttached(const VirtualUnit& unit) const
{
    const Slot& slot = SlotOf(unit);
    std::lock_guard lock(mutex);
    return slot.attached;
}

bool VirtualBus::WaitForPersonality(const VirtualUnit& unit, Personality personality,
                                    std::chrono::milliseconds timeout)
{
    const Slot& slot = SlotOf(unit);
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] {
        return slot.attached && slot.pending == Slot::Pending::None &&
               slot.unit->CurrentPersonality() == personality;
    });
}

bool VirtualBus::ArriveNow(const VirtualUnit& unit)
{
    Slot& slot = SlotOf(unit);
    std::lock_guard lock(mutex);
    if (slot.pending != Slot::Pending::Arrive) {
        return false;
    }
    slot.dueAt = std::chrono::steady_clock::now();
    changed.notify_all();
    return true;
}

bool VirtualBus::WaitIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] {
        return std::all_of(slots.begin(), slots.end(),
                           [](const auto& slot) { return slot->pending == Slot::Pending::None; });
    });
}

uint32_t VirtualBus::ArrivalCount(const VirtualUnit& unit) const
{
    const Slot& slot = SlotOf(unit);
    std::lock_guard lock(mutex);
    return slot.arrivals;
}

uint8_t VirtualBus::PortNumber(const VirtualUnit& unit) const
{
    return SlotOf(unit).port;
}

uint8_t VirtualBus::DeviceAddress(const VirtualUnit& unit) const
{
    const Slot& slot = SlotOf(unit);
    std::lock_guard lock(mutex);
    return slot.attached ? slot.address : 0;
}

std::string VirtualBus::SysfsName(const VirtualUnit& unit) const
{
    return "1-" + std::to_string(SlotOf(unit).port);
}

std::string VirtualBus::RootDir() const
{
    gchar* root = umockdev_testbed_get_root_dir(testbed);
    std::string text = root;
    g_free(root);
    return text;
}

size_t VirtualBus::UnitCount() const
{
    std::lock_guard lock(mutex);
    return slots.size();
}

VirtualUnit& VirtualBus::UnitAt(size_t index)
{
    std::lock_guard lock(mutex);
    return *slots.at(index)->unit;
}

VirtualBus::Slot& VirtualBus::SlotOf(const VirtualUnit& unit) const
{
    std::lock_guard lock(mutex);
    for (const auto& slot : slots) {
        if (slot->unit.get() == &unit) {
            return *slot;
        }
    }
    throw std::invalid_argument("the unit is not on this bus");
}

void VirtualBus::Attach(Slot& slot)
{
    slot.unit->OnAttached();
    uint8_t address = 0;
    {
        std::lock_guard lock(mutex);
        // A new address on every arrival, as a host controller hands them out.
        for (int tries = 0; tries < 126 && address == 0; ++tries) {
            const uint8_t candidate = nextAddress;
            nextAddress = nextAddress >= 127 ? 2 : static_cast<uint8_t>(nextAddress + 1);
            const bool used = std::any_of(slots.begin(), slots.end(), [&](const auto& other) {
                return other->attached && other->address == candidate;
            });
            if (!used) {
                address = candidate;
            }
        }
    }
    char number[4];
    std::snprintf(number, sizeof number, "%03u", address);
    auto attachment = std::make_unique<Attachment>();
    attachment->bus = this;
    attachment->slot = &slot;
    attachment->unit = slot.unit.get();
    attachment->devnode = std::string("/dev/bus/usb/001/") + number;
    attachment->handler = umockdev_ioctl_base_new();
    g_signal_connect_after(attachment->handler, "handle-ioctl", G_CALLBACK(HandleIoctl), attachment.get());

    // The handler goes on the node first: a node opened before it exists
    // would be bound to umockdev's default handler.
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, attachment->devnode.c_str(), attachment->handler, &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev could not attach " + attachment->devnode + ": " + message);
    }

    const VirtualUnit& unit = *slot.unit;
    const UnitOptions& o = unit.Options();
    const std::vector<uint8_t> descriptors = unit.Descriptors();
    char line[160];
    std::string record;
    record += "P: " + slot.sysPath.substr(4) + "\n";  // without the leading /sys
    record += std::string("N: bus/usb/001/") + number + "\n";
    record += "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\nE: BUSNUM=001\n";
    record += std::string("E: DEVNUM=") + number + "\n";
    record += "E: DEVNAME=" + attachment->devnode + "\n";
    std::snprintf(line, sizeof line, "E: PRODUCT=%x/%x/%x\n", o.vendorId, o.productId, unit.BcdDevice());
    record += line;
    std::snprintf(line, sizeof line,
                  "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: bcdDevice=%04x\\n\n"
                  "A: bDeviceClass=%02x\\n\nA: bDeviceSubClass=%02x\\n\nA: bDeviceProtocol=00\\n\n",
                  o.vendorId, o.productId, unit.BcdDevice(), o.deviceClass, unit.DeviceSubClass());
    record += line;
    std::snprintf(line, sizeof line,
                  "A: busnum=1\\n\nA: devnum=%u\\n\nA: devpath=%u\\n\nA: speed=12\\n\nA: version= 2.00\\n\n",
                  address, slot.port);
    record += line;
    record += "A: bNumConfigurations=1\\n\nA: bConfigurationValue=1\\n\nA: bMaxPacketSize0=64\\n\n";
    record += "A: maxchild=0\\n\n";
    if (o.hasManufacturerString) {
        record += "A: manufacturer=" + EscapeAttribute(o.manufacturer) + "\\n\n";
    }
    if (o.hasProductString) {
        record += "A: product=" + EscapeAttribute(o.product) + "\\n\n";
    }
    if (o.hasSerialString) {
        record += "A: serial=" + EscapeAttribute(o.serial) + "\\n\n";
    }
    record += "H: descriptors=" + Hex(descriptors) + "\n";

    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        umockdev_testbed_detach_ioctl(testbed, attachment->devnode.c_str(), nullptr);
        throw std::runtime_error("umockdev could not add " + slot.sysPath + ": " + message);
    }

    // Tell libusb's hot-plug monitor (umockdev 0.17 may not announce it by itself).
    umockdev_testbed_uevent(testbed, slot.sysPath.c_str(), "add");

    std::lock_guard lock(mutex);
    slot.address = address;
    slot.attached = true;
    slot.attachment = attachment.get();
    slot.attachments.push_back(std::move(attachment));
    ++slot.arrivals;
    changed.notify_all();
}

void VirtualBus::Detach(Slot& slot)
{
    Attachment* attachment = slot.attachment;
    if (attachment != nullptr) {
        std::lock_guard lock(attachment->mutex);
        attachment->FailAll();
    }
    // umockdev sends no event on removal itself, and one sent afterwards is lost.
    umockdev_testbed_uevent(testbed, slot.sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed, slot.sysPath.c_str());
    if (attachment != nullptr) {
        umockdev_testbed_detach_ioctl(testbed, attachment->devnode.c_str(), nullptr);
    }
    slot.unit->OnDetached();
    std::lock_guard lock(mutex);
    slot.attached = false;
    slot.address = 0;
    slot.attachment = nullptr;
    changed.notify_all();
}

void VirtualBus::BusThread()
{
    std::unique_lock lock(mutex);
    while (!stopping) {
        const auto now = std::chrono::steady_clock::now();
        Slot* due = nullptr;
        auto next = now + std::chrono::hours(1);
        for (auto& slot : slots) {
            if (slot->pending == Slot::Pending::None) {
                continue;
            }
            if (slot->dueAt <= now) {
                due = slot.get();
                break;
            }
            next = std::min(next, slot->dueAt);
        }
        if (due == nullptr) {
            changed.wait_until(lock, next);
            continue;
        }
        const Slot::Pending what = due->pending;
        lock.unlock();
        {
            std::lock_guard ops(opsMutex);
            std::unique_lock relock(mutex);
            // Unplug or Replug from a test may have overtaken this event.
            const bool still = due->pending == what;
            relock.unlock();
            if (still) {
                switch (what) {
                    case Slot::Pending::Leave:
                        if (due->attached) {
                            Detach(*due);
                        }
                        relock.lock();
                        due->pending = Slot::Pending::Arrive;
                        due->dueAt = std::chrono::steady_clock::now() + due->unit->Options().restartDelay;
                        relock.unlock();
                        break;
                    case Slot::Pending::Arrive:
                        if (!due->attached) {
                            Attach(*due);
                        }
                        relock.lock();
                        due->pending = Slot::Pending::None;
                        relock.unlock();
                        break;
                    case Slot::Pending::Unplug:
                        if (due->attached) {
                            Detach(*due);
                        }
                        relock.lock();
                        due->pending = Slot::Pending::None;
                        relock.unlock();
                        break;
                    case Slot::Pending::None:
                        break;
                }
            }
        }
        lock.lock();
        changed.notify_all();
    }
}
