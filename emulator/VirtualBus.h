// A virtual USB bus that serves VirtualUnits to the real libusb through
// umockdev: each attached device gets a sysfs entry in a UMockdevTestbed
// (descriptors, busnum, devnum, serial, product, manufacturer) and a usbfs
// node whose ioctls (claim, set configuration, submit/reap/discard URB, ...)
// are answered by the unit's model. Devices can be plugged and pulled while
// the program runs; libusb sees it in its device list and through hot-plug,
// and every arrival gets a new device address as on a real bus.
//
// Restart requests make the bus take the unit off and plug it back in its
// other personality after the unit's restart delay, on the bus's own thread.
//
// Order matters: create the bus before libusb_init (before UsbConnection) and
// before any other thread; destroy it after libusb_exit. The process must run
// under umockdev's preload (umockdev-wrapper, or LD_PRELOAD of
// libumockdev-preload.so.0 with UMOCKDEV_DIR set, as vantrel-emulate does
// for its child).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VirtualUnit.h"

struct _UMockdevTestbed;

class VirtualBus {
public:
    // Creates the umockdev testbed (it becomes the process's /sys and /dev)
    // and starts the bus thread.
    VirtualBus();
    VirtualBus(const VirtualBus&) = delete;
    VirtualBus& operator=(const VirtualBus&) = delete;
    // Pulls every device and removes the testbed.
    ~VirtualBus();

    // True when this process runs under umockdev's preload, so that libusb in
    // this process sees the bus. Tests skip with a message otherwise.
    static bool InMockEnvironment();

    // Plugs a new device in at the next free port; it arrives at once (a
    // hot-plug "add" event is sent). The bus owns the unit for its lifetime.
    VirtualUnit& AddUnit(const UnitOptions& options = {});
    VirtualUnit& AddSibling(const std::string& serial = "CV000001");
    VirtualUnit& AddOtherClassDevice(const std::string& serial = "OC000001");
    VirtualUnit& AddNoSerialDevice();

    // Pulls the cable: transfers in flight fail with "no device", every later
    // request on an open handle fails likewise, and a "remove" event is sent.
    void Unplug(VirtualUnit& unit);
    // Plugs a pulled unit back in, at the same port and a new address.
    void Replug(VirtualUnit& unit);
    bool IsAttached(const VirtualUnit& unit) const;

    // Waits until the unit is on the bus in `personality` and no restart of it
    // is pending. Returns false after `timeout`.
    bool WaitForPersonality(const VirtualUnit& unit, Personality personality,
                            std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    // Ends the unit's restart delay now: a unit that has left the bus for a
    // restart comes back at once, so that a test decides the moment. False
    // when no return is pending.
    bool ArriveNow(const VirtualUnit& unit);
    // Waits until no restart is pending on any unit.
    bool WaitIdle(std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    // How many times the unit has arrived on the bus (1 after AddUnit).
    uint32_t ArrivalCount(const VirtualUnit& unit) const;

    // Position on the bus as libusb reports it (bus 1, one port per device).
    uint8_t BusNumber() const { return 1; }
    uint8_t PortNumber(const VirtualUnit& unit) const;
    uint8_t DeviceAddress(const VirtualUnit& unit) const;  // 0 while off the bus
    // The device's directory under /sys/bus/usb/devices, e.g. "1-3".
    std::string SysfsName(const VirtualUnit& unit) const;

    // The testbed's root directory (its UMOCKDEV_DIR).
    std::string RootDir() const;
    size_t UnitCount() const;
    VirtualUnit& UnitAt(size_t index);

    struct Slot;  // one device position, defined in VirtualBus.cpp

private:
    Slot& SlotOf(const VirtualUnit& unit) const;
    void Attach(Slot& slot);  // bus mutex held
    void Detach(Slot& slot);  // bus mutex held
    void Schedule(Slot& slot, BusAction action);
    void BusThread();

    _UMockdevTestbed* testbed = nullptr;
    mutable std::mutex mutex;  // device state, pending restarts
    std::mutex opsMutex;       // serialises changes to the testbed; taken before `mutex`
    std::condition_variable changed;
    std::vector<std::unique_ptr<Slot>> slots;
    uint8_t nextAddress = 2;  // 1 belongs to the root hub
    bool stopping = false;
    std::thread thread;
    friend struct SlotAccess;
};
