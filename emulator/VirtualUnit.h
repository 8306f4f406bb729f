// The virtual unit: a model of the shift-assist unit as the USB host sees it,
// with no knowledge of how it is served (VirtualBus does that). It holds the
// descriptors of its two personalities (application and bootloader), answers
// the vendor requests of each with the generation's image length, report
// length and lock support, keeps a flash memory that the bootloader writes
// into, produces live reports from a simulated engine, applies a fault plan,
// and logs every request it received so that tests can inspect the traffic.
//
// The same class also models the other devices a test bus carries: the
// sibling product (0xA600/0xE360), a device of another class and a device
// without a serial number string (see the factory functions of UnitOptions).
//
// All public members are thread-safe: the bus answers transfers on umockdev's
// worker thread while tests inspect and change the unit on their own thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "FaultPlan.h"
#include "config/DeviceConfiguration.h"
#include "usb/UsbSetupPacket.h"

enum class Personality : uint8_t {
    Application,  // bDeviceSubClass 0, bcdDevice = firmware generation
    Bootloader,   // bDeviceSubClass 1, bcdDevice = bootloader version
};

// Three 16-bit version words as the unit sends them (product type, hardware
// variant, version).
struct VersionWords {
    uint16_t type = 0;
    uint16_t hardware = 0;
    uint16_t version = 0;
    bool operator==(const VersionWords&) const = default;
};

inline constexpr uint32_t FLASH_BLOCK_SIZE = 64;
inline constexpr uint32_t FLASH_HEAD_SIZE = 256;
inline constexpr uint32_t FLASH_HEADER_OFFSET = 0x100;
inline constexpr uint32_t FLASH_SIZE = 0xC000;  // 48 KiB application area
inline constexpr uint16_t UNIT_PRODUCT_TYPE = 0x0003;
inline constexpr uint16_t UNIT_HARDWARE = 0x0901;
// The request log keeps at most this many records (the newest ones).
inline constexpr size_t MAX_LOGGED_REQUESTS = 200000;

struct UnitOptions {
    uint16_t generation = 108;                           // 100 .. 108; firmware version of the application
    Personality personality = Personality::Application;  // the personality it is plugged in with
    uint16_t bootloaderVersion = 100;                    // 100 or 101; bcdDevice of the bootloader
    std::string serial = "VT000001";
    std::string product = "Vantrel Shift Assist";
    std::string manufacturer = "Norvane Labs";
    // Unset: a valid application in the flash when plugged in as application,
    // an erased flash when plugged in as bootloader.
    std::optional<bool> validApplication;
    uint16_t hardware = UNIT_HARDWARE;
    // Time between a restart request and the unit's arrival in its new personality.
    std::chrono::milliseconds restartDelay{200};

    // Descriptor identity; the defaults make the unit itself.
    uint16_t vendorId = 0xA600;
    uint16_t productId = 0xE361;
    uint8_t deviceClass = 0xFF;
    bool hasSerialString = true;
    bool hasProductString = true;
    bool hasManufacturerString = true;
    // bcdDevice of the application personality when it must differ from the
    // generation (e.g. 0x0000 or 0x01A0, to exercise the host's decoding).
    std::optional<uint16_t> bcdDeviceOverride;
    // False for the foreign devices: they stall every vendor request.
    bool answersVendorRequests = true;
    // What the configuration store holds when the unit is plugged in; unset:
    // what the unit left the factory with (its generation's defaults).
    std::optional<DeviceConfiguration> configuration;

    // The sibling product: 0xA600/0xE360, otherwise like a unit.
    static UnitOptions Sibling(const std::string& serial = "CV000001");
    // A device of another class (0x00, per interface) and another vendor.
    static UnitOptions OtherClass(const std::string& serial = "OC000001");
    // A unit whose descriptor has iSerialNumber 0.
    static UnitOptions NoSerial();
};

// One request as the unit saw it, in arrival order.
struct RequestRecord {
    enum class Kind : uint8_t { Control, Interrupt };
    Kind kind = Kind::Control;
    UsbSetupPacket setup{};     // control only
    uint8_t endpoint = 0;       // interrupt only
    uint32_t length = 0;        // wLength, or the interrupt buffer length
    std::vector<uint8_t> data;  // the OUT data stage as received
    Personality personality = Personality::Application;
    std::optional<FaultKind> fault;  // the fault applied to it, if any
    bool stalled = false;            // the unit answered STALL on its own (not a fault)
    std::chrono::steady_clock::time_point when;
};

// An erase or block write received by the bootloader, in arrival order.
struct FlashOperation {
    enum class Kind : uint8_t { Erase, Write };
    Kind kind = Kind::Erase;
    uint32_t address = 0;  // byte address (block number x 64)
    uint32_t length = 0;   // bytes written; 0 for an erase
};

// How the unit answers one transfer.
struct TransferOutcome {
    enum class Status : uint8_t {
        Ok,          // data (IN) or accepted (OUT) as given
        Stall,       // STALL handshake
        Timeout,     // never completes
        Disconnect,  // the cable is pulled now
        Overflow,    // IN: the unit sent more than the host asked for (babble)
    };
    Status status = Status::Ok;
    std::vector<uint8_t> data;  // IN: the bytes delivered (may be fewer than asked for)
    uint32_t accepted = 0;      // OUT: data bytes accepted (may be fewer than sent)
};

// What the unit asks its bus to do after a transfer.
enum class BusAction : uint8_t {
    None,
    RestartIntoApplication,  // leave the bus and come back (application if the flash holds one)
    RestartIntoBootloader,   // leave the bus and come back as bootloader
};

class VirtualUnit {
public:
    explicit VirtualUnit(const UnitOptions& opts = {});
    VirtualUnit(const VirtualUnit&) = delete;
    VirtualUnit& operator=(const VirtualUnit&) = delete;

    // --- Identity and descriptors ------------------------------------------
    const UnitOptions& Options() const { return options; }
    Personality CurrentPersonality() const;
    // Generation the application reports (bcdDevice); after a flash, the one
    // from the header of what was written (0x0108 -> 108).
    uint16_t Generation() const;
    uint16_t BcdDevice() const;  // of the current personality
    uint8_t DeviceSubClass() const;
    std::string Serial() const { return options.serial; }
    // The raw descriptors of the current personality: the 18-byte device
    // descriptor followed by configuration 1 with interface 0 and interrupt
    // IN endpoint 0x81 (the layout of sysfs's "descriptors" attribute).
    std::vector<uint8_t> Descriptors() const;
    // String descriptor `index` (1 manufacturer, 2 product, 3 serial; 0 the
    // language list) in USB wire form, or empty when there is none.
    std::vector<uint8_t> StringDescriptor(uint8_t index) const;

    // --- Transfers (called by the bus on its worker thread) ------------------
    // `outData` holds the data stage of an OUT request (setup.wLength bytes).
    TransferOutcome HandleControl(const UsbSetupPacket& setup, const uint8_t* outData);
    TransferOutcome HandleInterrupt(uint8_t endpoint, uint32_t length);
    // Set after a restart request was answered; the bus takes it and re-plugs the unit.
    BusAction TakeBusAction();
    // The bus calls these when the unit leaves and when it arrives again.
    void OnDetached();
    void OnAttached();

    // --- State that tests set and read ----------------------------------------
    // The stored configuration image (196 or 212 bytes for the generation).
    std::vector<uint8_t> ConfigurationImage() const;
    void SetConfigurationImage(const std::vector<uint8_t>& image);
    uint8_t LockByte() const;
    void SetLockByte(uint8_t value);
    // Last value received with the mode request, and when each one arrived.
    std::optional<uint16_t> LastMode() const;
    size_t ModeRequestCount() const;
    std::vector<std::chrono::steady_clock::time_point> ModeRequestTimes() const;

    // Version triples as the unit answers them. The firmware version is
    // 0xFFFF in every word while the flash holds no valid application.
    VersionWords FirmwareVersion() const;
    VersionWords BootVersion() const;
    void SetBootVersion(const VersionWords& words);

    // The application flash (FLASH_SIZE bytes, 0xFF when erased).
    std::vector<uint8_t> Flash() const;
    // Puts a complete, valid application image into the flash, as an
    // update would have left it (header words taken from the image).
    void LoadFlash(const std::vector<uint8_t>& image);
    void EraseFlash();
    // Whether a restart into the application would come back as application.
    bool HasValidApplication() const;
    std::vector<FlashOperation> FlashLog() const;

    // Live reports: from the simulated engine, which runs on the stored
    // configuration, unless a fixed report is set. An interrupt read asking
    // for fewer bytes than the report overflows, as on the wire.
    void SetFixedReport(const std::vector<uint8_t>& report);
    void ClearFixedReport();
    // Stops the engine's clock at `elapsedMs` into its ride (the engine then
    // reports that moment until the clock runs again); nothing: it runs.
    void HoldEngineAt(std::optional<uint64_t> elapsedMs);

    // Faults on the following transfers.
    void AddFault(const FaultSpec& fault);
    void ClearFaults();
    uint32_t FaultsFired() const;

    // Every request since the unit was created (or since ClearRequestLog), up
    // to the newest MAX_LOGGED_REQUESTS.
    std::vector<RequestRecord> RequestLog() const;
    void ClearRequestLog();
    // Number of restarts (leave and come back) so far.
    uint32_t RestartCount() const;

private:
    TransferOutcome ApplicationRequest(const UsbSetupPacket& setup, const uint8_t* outData,
                                       RequestRecord& rec);
    TransferOutcome BootloaderRequest(const UsbSetupPacket& setup, const uint8_t* outData,
                                      RequestRecord& rec);
    TransferOutcome StandardRequest(const UsbSetupPacket& setup) const;
    TransferOutcome ApplyFault(const FaultSpec& fault, TransferOutcome outcome, uint32_t asked) const;
    void RecomputeApplication();
    void Record(RequestRecord&& rec);  // mutex held
    uint16_t BcdDeviceLocked() const;
    uint8_t DeviceSubClassLocked() const;
    std::vector<uint8_t> DescriptorsLocked() const;
    uint32_t ImageLength() const;
    bool SupportsLock() const;

    UnitOptions options;
    mutable std::mutex mutex;
    Personality personality;
    uint16_t appGeneration;
    VersionWords firmware;
    VersionWords boot;
    bool applicationValid = false;
    std::vector<uint8_t> configuration;
    uint8_t lockByte = 0;
    std::optional<uint16_t> lastMode;
    std::vector<std::chrono::steady_clock::time_point> modeTimes;
    std::vector<uint8_t> flash;
    std::vector<FlashOperation> flashLog;
    // Write order since the last erase, per block: 0 = not written.
    std::vector<uint32_t> blockWriteSeq;
    uint32_t writeSeq = 0;
    std::optional<std::vector<uint8_t>> fixedReport;
    std::optional<uint64_t> engineHeldAt;
    std::chrono::steady_clock::time_point attachedAt;
    FaultPlan faults;
    std::vector<RequestRecord> log;
    BusAction pendingAction = BusAction::None;
    BusAction nextBoot = BusAction::None;  // how the unit starts on its next arrival
    bool everAttached = false;
    bool restarting = false;
    uint32_t restarts = 0;
};

// Image length a generation stores: 196 bytes up to 106, 212 from 107.
uint32_t ConfigurationImageLength(uint16_t generation);
// Lock requests are answered from generation 105; earlier ones stall them.
bool GenerationSupportsLock(uint16_t generation);
// 108 -> 0x0108.
uint16_t EncodeBcd(uint16_t decimal);
