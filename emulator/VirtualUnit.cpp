#include "VirtualUnit.h"

#include <algorithm>

#include "FactoryConfiguration.h"
#include "LiveEngine.h"
#include "UnitDescriptors.h"

namespace {

constexpr uint8_t REQ_CONFIG = 0x00;
constexpr uint8_t REQ_BOOT = 0x01;
constexpr uint8_t REQ_FLASH = 0x02;
constexpr uint8_t REQ_MODE = 0x03;
constexpr uint8_t REQ_LOCK = 0x04;

constexpr uint8_t DIR_IN = 0x80;
constexpr uint8_t TYPE_MASK = 0x60;
constexpr uint8_t TYPE_STANDARD = 0x00;
constexpr uint8_t TYPE_VENDOR = 0x40;
constexpr uint8_t RECIPIENT_MASK = 0x1F;
constexpr uint8_t RECIPIENT_INTERFACE = 0x01;

constexpr uint32_t HEAD_BLOCKS = FLASH_HEAD_SIZE / FLASH_BLOCK_SIZE;
constexpr uint32_t FLASH_BLOCKS = FLASH_SIZE / FLASH_BLOCK_SIZE;

TransferOutcome Stall()
{
    TransferOutcome outcome;
    outcome.status = TransferOutcome::Status::Stall;
    return outcome;
}

TransferOutcome Accept(uint32_t length)
{
    TransferOutcome outcome;
    outcome.accepted = length;
    return outcome;
}

TransferOutcome Deliver(std::vector<uint8_t> data, uint32_t asked)
{
    TransferOutcome outcome;
    if (data.size() > asked) {
        data.resize(asked);
    }
    outcome.data = std::move(data);
    return outcome;
}

std::vector<uint8_t> VersionBytes(const VersionWords& words)
{
    return {static_cast<uint8_t>(words.type & 0xFF),     static_cast<uint8_t>(words.type >> 8),
            static_cast<uint8_t>(words.hardware & 0xFF), static_cast<uint8_t>(words.hardware >> 8),
            static_cast<uint8_t>(words.version & 0xFF),  static_cast<uint8_t>(words.version >> 8)};
}

uint16_t DecodeBcd(uint16_t bcd)
{
    return static_cast<uint16_t>((bcd >> 12) * 1000 + ((bcd >> 8) & 0xF) * 100 + ((bcd >> 4) & 0xF) * 10 +
                                 (bcd & 0xF));
}

uint16_t ReadU16(const std::vector<uint8_t>& bytes, size_t offset)
{
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// A small stand-in for the application firmware: vector table, then the
// header that names product type, hardware and version.
std::vector<uint8_t> SyntheticApplication(const VersionWords& words)
{
    std::vector<uint8_t> image(2048);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint8_t>((i * 7 + 3) & 0xFF);
    }
    const uint8_t vectors[8] = {0x00, 0x20, 0x00, 0x20, 0x01, 0x02, 0x00, 0x08};
    std::copy(std::begin(vectors), std::end(vectors), image.begin());
    const std::vector<uint8_t> header = VersionBytes(words);
    std::copy(header.begin(), header.end(), image.begin() + FLASH_HEADER_OFFSET);
    image[FLASH_HEADER_OFFSET + 6] = 0xFF;
    image[FLASH_HEADER_OFFSET + 7] = 0xFF;
    return image;
}

}  // namespace

uint32_t ConfigurationImageLength(uint16_t generation)
{
    return generation >= 107 ? 212 : 196;
}

bool GenerationSupportsLock(uint16_t generation)
{
    return generation >= 105;
}

uint16_t EncodeBcd(uint16_t decimal)
{
    return static_cast<uint16_t>(((decimal / 1000) % 10) << 12 | ((decimal / 100) % 10) << 8 |
                                 ((decimal / 10) % 10) << 4 | (decimal % 10));
}

UnitOptions UnitOptions::Sibling(const std::string& serial)
{
    UnitOptions options;
    options.productId = 0xE360;
    options.serial = serial;
    options.product = "Corvello Quickshifter";
    return options;
}

UnitOptions UnitOptions::OtherClass(const std::string& serial)
{
    UnitOptions options;
    options.vendorId = 0x1D50;
    options.productId = 0x6018;
    options.deviceClass = 0x00;
    options.serial = serial;
    options.product = "Bench Multimeter";
    options.manufacturer = "Other Maker";
    options.answersVendorRequests = false;
    return options;
}

UnitOptions UnitOptions::NoSerial()
{
    UnitOptions options;
    options.serial.clear();
    options.hasSerialString = false;
    return options;
}

VirtualUnit::VirtualUnit(const UnitOptions& opts)
    : options(opts),
      personality(opts.personality),
      appGeneration(opts.generation),
      firmware{UNIT_PRODUCT_TYPE, opts.hardware, EncodeBcd(opts.generation)},
      boot{UNIT_PRODUCT_TYPE, opts.hardware, EncodeBcd(opts.bootloaderVersion)},
      configuration(opts.configuration ? UnitImage(*opts.configuration, opts.generation)
                                       : FactoryImage(opts.generation)),
      flash(FLASH_SIZE, 0xFF),
      blockWriteSeq(FLASH_BLOCKS, 0),
      attachedAt(std::chrono::steady_clock::now())
{
    const bool valid = opts.validApplication.value_or(opts.personality == Personality::Application);
    if (valid) {
        LoadFlash(SyntheticApplication(firmware));
        flashLog.clear();
    }
}

Personality VirtualUnit::CurrentPersonality() const
{
    std::lock_guard lock(mutex);
    return personality;
}

uint16_t VirtualUnit::Generation() const
{
    std::lock_guard lock(mutex);
    return appGeneration;
}

uint16_t VirtualUnit::BcdDevice() const
{
    std::lock_guard lock(mutex);
    return BcdDeviceLocked();
}

uint16_t VirtualUnit::BcdDeviceLocked() const
{
    if (options.bcdDeviceOverride && personality == Personality::Application) {
        return *options.bcdDeviceOverride;
    }
    return personality == Personality::Application ? firmware.version : EncodeBcd(options.bootloaderVersion);
}

uint8_t VirtualUnit::DeviceSubClass() const
{
    std::lock_guard lock(mutex);
    return DeviceSubClassLocked();
}

uint8_t VirtualUnit::DeviceSubClassLocked() const
{
    if (options.deviceClass != 0xFF) {
        return 0;
    }
    return personality == Personality::Application ? 0 : 1;
}

std::vector<uint8_t> VirtualUnit::Descriptors() const
{
    std::lock_guard lock(mutex);
    return DescriptorsLocked();
}

std::vector<uint8_t> VirtualUnit::DescriptorsLocked() const
{
    DescriptorFields fields;
    fields.vendorId = options.vendorId;
    fields.productId = options.productId;
    fields.bcdDevice = BcdDeviceLocked();
    fields.deviceClass = options.deviceClass;
    fields.deviceSubClass = DeviceSubClassLocked();
    fields.hasManufacturer = options.hasManufacturerString;
    fields.hasProduct = options.hasProductString;
    fields.hasSerial = options.hasSerialString;
    std::vector<uint8_t> bytes = DeviceDescriptor(fields);
    const std::vector<uint8_t> config = ConfigurationDescriptor(fields);
    bytes.insert(bytes.end(), config.begin(), config.end());
    return bytes;
}

std::vector<uint8_t> VirtualUnit::StringDescriptor(uint8_t index) const
{
    switch (index) {
        case 0:
            return LanguageDescriptor();
        case STRING_MANUFACTURER:
            return options.hasManufacturerString ? StringDescriptorOf(options.manufacturer)
                                                 : std::vector<uint8_t>{};
        case STRING_PRODUCT:
            return options.hasProductString ? StringDescriptorOf(options.product) : std::vector<uint8_t>{};
        case STRING_SERIAL:
            return options.hasSerialString ? StringDescriptorOf(options.serial) : std::vector<uint8_t>{};
        default:
            return {};
    }
}

TransferOutcome VirtualUnit::StandardRequest(const UsbSetupPacket& setup) const
{
    constexpr uint8_t GET_STATUS = 0x00;
    constexpr uint8_t GET_DESCRIPTOR = 0x06;
    constexpr uint8_t GET_CONFIGURATION = 0x08;
    if ((setup.bmRequestType & DIR_IN) == 0) {
        // SET_CONFIGURATION, SET_INTERFACE, CLEAR_FEATURE and the like: nothing to keep.
        return Accept(setup.wLength);
    }
    switch (setup.bRequest) {
        case GET_STATUS:
            return Deliver({0, 0}, setup.wLength);
        case GET_CONFIGURATION:
            return Deliver({1}, setup.wLength);
        case GET_DESCRIPTOR: {
            const uint8_t type = static_cast<uint8_t>(setup.wValue >> 8);
            const uint8_t index = static_cast<uint8_t>(setup.wValue & 0xFF);
            const std::vector<uint8_t> all = DescriptorsLocked();
            if (type == 0x01) {
                return Deliver(std::vector<uint8_t>(all.begin(), all.begin() + 18), setup.wLength);
            }
            if (type == 0x02 && index == 0) {
                return Deliver(std::vector<uint8_t>(all.begin() + 18, all.end()), setup.wLength);
            }
            if (type == 0x03) {
                std::vector<uint8_t> text = StringDescriptor(index);
                if (!text.empty()) {
                    return Deliver(std::move(text), setup.wLength);
                }
            }
            return Stall();
        }
        default:
            return Stall();
    }
}

TransferOutcome VirtualUnit::HandleControl(const UsbSetupPacket& setup, const uint8_t* outData)
{
    RequestRecord rec;
    rec.kind = RequestRecord::Kind::Control;
    rec.setup = setup;
    rec.length = setup.wLength;
    rec.when = std::chrono::steady_clock::now();
    const bool in = (setup.bmRequestType & DIR_IN) != 0;
    if (!in && outData != nullptr && setup.wLength > 0) {
        rec.data.assign(outData, outData + setup.wLength);
    }

    if ((setup.bmRequestType & TYPE_MASK) == TYPE_STANDARD) {
        TransferOutcome outcome;
        {
            std::lock_guard lock(mutex);
            rec.personality = personality;
            outcome = StandardRequest(setup);
        }
        rec.stalled = outcome.status == TransferOutcome::Status::Stall;
        std::lock_guard lock(mutex);
        Record(std::move(rec));
        return outcome;
    }

    const std::optional<FaultSpec> fault = faults.Next(setup.bRequest);
    std::lock_guard lock(mutex);
    rec.personality = personality;
    TransferOutcome outcome;
    if (restarting) {
        // The unit has gone into reset after a restart request.
        outcome.status = TransferOutcome::Status::Disconnect;
    } else if (fault && fault->kind == FaultKind::Drop && !in) {
        // Acknowledged as if kept.
        rec.fault = fault->kind;
        outcome = Accept(setup.wLength);
    } else if (fault && fault->kind != FaultKind::Drop && !(fault->kind == FaultKind::Short && in)) {
        rec.fault = fault->kind;
        outcome = ApplyFault(*fault, outcome, setup.wLength);
    } else {
        const bool vendorToInterface = (setup.bmRequestType & TYPE_MASK) == TYPE_VENDOR &&
                                       (setup.bmRequestType & RECIPIENT_MASK) == RECIPIENT_INTERFACE &&
                                       setup.wIndex == 0;
        if (!options.answersVendorRequests || !vendorToInterface) {
            outcome = Stall();
        } else if (personality == Personality::Application) {
            outcome = ApplicationRequest(setup, outData, rec);
        } else {
            outcome = BootloaderRequest(setup, outData, rec);
        }
        rec.stalled = outcome.status == TransferOutcome::Status::Stall;
        if (fault) {
            rec.fault = fault->kind;
            outcome = ApplyFault(*fault, std::move(outcome), setup.wLength);
        }
    }
    Record(std::move(rec));
    return outcome;
}

void VirtualUnit::Record(RequestRecord&& rec)
{
    // A long session under vantrel-emulate polls for hours: keep the newest half.
    if (log.size() >= MAX_LOGGED_REQUESTS) {
        log.erase(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(MAX_LOGGED_REQUESTS / 2));
    }
    log.push_back(std::move(rec));
}

TransferOutcome VirtualUnit::ApplyFault(const FaultSpec& fault, TransferOutcome outcome, uint32_t asked) const
{
    switch (fault.kind) {
        case FaultKind::Stall:
            return Stall();
        case FaultKind::Timeout:
            outcome.status = TransferOutcome::Status::Timeout;
            return outcome;
        case FaultKind::Disconnect:
            outcome.status = TransferOutcome::Status::Disconnect;
            return outcome;
        case FaultKind::Drop:
            // Only an OUT request has anything to drop; the rest is answered as usual.
            return outcome;
        case FaultKind::Short:
            break;
    }
    const uint32_t shortLength =
        fault.shortLength >= 0 ? static_cast<uint32_t>(fault.shortLength) : (asked > 0 ? asked - 1 : 0);
    outcome.status = TransferOutcome::Status::Ok;
    if (outcome.data.size() > shortLength) {
        outcome.data.resize(shortLength);
    }
    outcome.accepted = std::min(shortLength, asked);
    return outcome;
}

TransferOutcome VirtualUnit::ApplicationRequest(const UsbSetupPacket& setup, const uint8_t* outData,
                                                RequestRecord&)
{
    const bool in = (setup.bmRequestType & DIR_IN) != 0;
    switch (setup.bRequest) {
        case REQ_CONFIG:
            if (setup.wValue != 0) {
                return Stall();
            }
            if (in) {
                // A locked unit keeps its configuration to itself.
                if (lockByte != 0 && SupportsLock()) {
                    return Stall();
                }
                return Deliver(configuration, setup.wLength);
            }
            if (setup.wLength != ImageLength() || outData == nullptr) {
                return Stall();
            }
            configuration.assign(outData, outData + setup.wLength);
            return Accept(setup.wLength);
        case REQ_BOOT:
            if (in) {
                if (setup.wValue > 1) {
                    return Stall();
                }
                return Deliver(VersionBytes(setup.wValue == 0 ? boot : firmware), setup.wLength);
            }
            if (setup.wValue > 1) {
                return Stall();
            }
            pendingAction =
                setup.wValue == 1 ? BusAction::RestartIntoBootloader : BusAction::RestartIntoApplication;
            restarting = true;
            return Accept(0);
        case REQ_MODE:
            if (in) {
                return Stall();
            }
            lastMode = setup.wValue;
            modeTimes.push_back(std::chrono::steady_clock::now());
            return Accept(0);
        case REQ_LOCK:
            if (!SupportsLock()) {
                return Stall();
            }
            if (in) {
                return Deliver({lockByte}, setup.wLength);
            }
            lockByte = static_cast<uint8_t>(setup.wValue & 0xFF);
            return Accept(0);
        default:
            return Stall();
    }
}

TransferOutcome VirtualUnit::BootloaderRequest(const UsbSetupPacket& setup, const uint8_t* outData,
                                               RequestRecord&)
{
    const bool in = (setup.bmRequestType & DIR_IN) != 0;
    switch (setup.bRequest) {
        case REQ_BOOT: {
            if (setup.wValue > 1) {
                return Stall();
            }
            if (in) {
                const VersionWords none{0xFFFF, 0xFFFF, 0xFFFF};
                const VersionWords& words = setup.wValue == 0 ? boot : (applicationValid ? firmware : none);
                return Deliver(VersionBytes(words), setup.wLength);
            }
            pendingAction =
                setup.wValue == 1 ? BusAction::RestartIntoBootloader : BusAction::RestartIntoApplication;
            restarting = true;
            return Accept(0);
        }
        case REQ_FLASH: {
            if (in) {
                return Stall();
            }
            const uint32_t address = static_cast<uint32_t>(setup.wValue) * FLASH_BLOCK_SIZE;
            if (address >= FLASH_SIZE) {
                return Stall();
            }
            if (setup.wLength == 0) {
                // Erases from the given block to the end of the application area.
                std::fill(flash.begin() + address, flash.end(), 0xFF);
                std::fill(blockWriteSeq.begin() + address / FLASH_BLOCK_SIZE, blockWriteSeq.end(), 0);
                flashLog.push_back({FlashOperation::Kind::Erase, address, 0});
                RecomputeApplication();
                return Accept(0);
            }
            if (setup.wLength > FLASH_BLOCK_SIZE || outData == nullptr) {
                return Stall();
            }
            // NOR flash: programming only clears bits, so a block written twice
            // without an erase between holds the AND of both.
            for (uint32_t i = 0; i < setup.wLength; ++i) {
                flash[address + i] &= outData[i];
            }
            blockWriteSeq[address / FLASH_BLOCK_SIZE] = ++writeSeq;
            flashLog.push_back({FlashOperation::Kind::Write, address, setup.wLength});
            RecomputeApplication();
            return Accept(setup.wLength);
        }
        default:
            return Stall();
    }
}

void VirtualUnit::RecomputeApplication()
{
    const uint16_t type = ReadU16(flash, FLASH_HEADER_OFFSET);
    const uint16_t hardware = ReadU16(flash, FLASH_HEADER_OFFSET + 2);
    const uint16_t version = ReadU16(flash, FLASH_HEADER_OFFSET + 4);
    bool valid = type == UNIT_PRODUCT_TYPE && hardware != 0xFFFF && version != 0xFFFF;
    // Complete: every block from the start up to the last one written holds data.
    uint32_t lastWritten = 0;
    uint32_t lastBodySeq = 0;
    for (uint32_t block = 0; block < FLASH_BLOCKS; ++block) {
        if (blockWriteSeq[block] != 0) {
            lastWritten = block;
        }
        if (block >= HEAD_BLOCKS) {
            lastBodySeq = std::max(lastBodySeq, blockWriteSeq[block]);
        }
    }
    for (uint32_t block = 0; block <= lastWritten && valid; ++block) {
        valid = blockWriteSeq[block] != 0;
    }
    // The vector table goes in last, so that an interrupted update never starts.
    for (uint32_t block = 0; block < HEAD_BLOCKS && valid; ++block) {
        valid = blockWriteSeq[block] > lastBodySeq;
    }
    applicationValid = valid && lastWritten >= HEAD_BLOCKS;
    if (applicationValid) {
        firmware = {type, hardware, version};
    }
}

TransferOutcome VirtualUnit::HandleInterrupt(uint8_t endpoint, uint32_t length)
{
    RequestRecord rec;
    rec.kind = RequestRecord::Kind::Interrupt;
    rec.endpoint = endpoint;
    rec.length = length;
    rec.when = std::chrono::steady_clock::now();
    const std::optional<FaultSpec> fault =
        endpoint == LIVE_ENDPOINT_ADDRESS ? faults.Next(FAULT_LIVE_ENDPOINT) : std::nullopt;
    std::lock_guard lock(mutex);
    rec.personality = personality;
    TransferOutcome outcome;
    if (restarting) {
        outcome.status = TransferOutcome::Status::Disconnect;
    } else if (endpoint != LIVE_ENDPOINT_ADDRESS || !options.answersVendorRequests) {
        outcome = Stall();
        rec.stalled = true;
    } else if (personality == Personality::Bootloader) {
        // The bootloader sends no reports: the host waits until its time-out.
        outcome.status = TransferOutcome::Status::Timeout;
    } else {
        const auto elapsed = engineHeldAt.value_or(static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(rec.when - attachedAt).count()));
        std::vector<uint8_t> report =
            fixedReport ? *fixedReport
                        : LiveEngine::Report(appGeneration, StoredConfiguration(configuration, appGeneration),
                                             elapsed);
        // A report is one packet: a host buffer too small for it is babble.
        const bool overflow = report.size() > length;
        outcome = Deliver(std::move(report), length);
        if (overflow) {
            outcome.status = TransferOutcome::Status::Overflow;
        }
    }
    if (fault) {
        rec.fault = fault->kind;
        outcome = ApplyFault(*fault, std::move(outcome), length);
    }
    Record(std::move(rec));
    return outcome;
}

BusAction VirtualUnit::TakeBusAction()
{
    std::lock_guard lock(mutex);
    const BusAction action = pendingAction;
    pendingAction = BusAction::None;
    if (action != BusAction::None) {
        nextBoot = action;
    }
    return action;
}

void VirtualUnit::OnDetached()
{
    std::lock_guard lock(mutex);
    restarting = false;
}

void VirtualUnit::OnAttached()
{
    std::lock_guard lock(mutex);
    restarting = false;
    attachedAt = std::chrono::steady_clock::now();
    if (nextBoot == BusAction::RestartIntoBootloader) {
        personality = Personality::Bootloader;
    } else if (nextBoot == BusAction::RestartIntoApplication || everAttached) {
        // A restart and a power-on (plugged in again) alike: the bootloader
        // starts the application when the flash holds a complete one and
        // stays otherwise. The first arrival keeps the personality it was
        // created with.
        personality = applicationValid ? Personality::Application : Personality::Bootloader;
    }
    everAttached = true;
    if (nextBoot != BusAction::None) {
        ++restarts;
    }
    nextBoot = BusAction::None;
    if (personality == Personality::Application) {
        const uint16_t generation = DecodeBcd(firmware.version);
        if (generation != appGeneration) {
            appGeneration = generation;
            if (configuration.size() != ConfigurationImageLength(generation)) {
                configuration = ConvertImage(configuration, generation);
            }
        }
    }
}

std::vector<uint8_t> VirtualUnit::ConfigurationImage() const
{
    std::lock_guard lock(mutex);
    return configuration;
}

void VirtualUnit::SetConfigurationImage(const std::vector<uint8_t>& image)
{
    std::lock_guard lock(mutex);
    configuration = image;
}

uint8_t VirtualUnit::LockByte() const
{
    std::lock_guard lock(mutex);
    return lockByte;
}

void VirtualUnit::SetLockByte(uint8_t value)
{
    std::lock_guard lock(mutex);
    lockByte = value;
}

std::optional<uint16_t> VirtualUnit::LastMode() const
{
    std::lock_guard lock(mutex);
    return lastMode;
}

size_t VirtualUnit::ModeRequestCount() const
{
    std::lock_guard lock(mutex);
    return modeTimes.size();
}

std::vector<std::chrono::steady_clock::time_point> VirtualUnit::ModeRequestTimes() const
{
    std::lock_guard lock(mutex);
    return modeTimes;
}

VersionWords VirtualUnit::FirmwareVersion() const
{
    std::lock_guard lock(mutex);
    if (personality == Personality::Bootloader && !applicationValid) {
        return {0xFFFF, 0xFFFF, 0xFFFF};
    }
    return firmware;
}

VersionWords VirtualUnit::BootVersion() const
{
    std::lock_guard lock(mutex);
    return boot;
}

void VirtualUnit::SetBootVersion(const VersionWords& words)
{
    std::lock_guard lock(mutex);
    boot = words;
}

std::vector<uint8_t> VirtualUnit::Flash() const
{
    std::lock_guard lock(mutex);
    return flash;
}

void VirtualUnit::LoadFlash(const std::vector<uint8_t>& image)
{
    std::lock_guard lock(mutex);
    std::fill(flash.begin(), flash.end(), 0xFF);
    std::fill(blockWriteSeq.begin(), blockWriteSeq.end(), 0);
    const size_t length = std::min<size_t>(image.size(), FLASH_SIZE);
    std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length), flash.begin());
    const uint32_t blocks = static_cast<uint32_t>((length + FLASH_BLOCK_SIZE - 1) / FLASH_BLOCK_SIZE);
    // As an update writes it: the body first, the head last.
    for (uint32_t block = HEAD_BLOCKS; block < blocks; ++block) {
        blockWriteSeq[block] = ++writeSeq;
    }
    for (uint32_t block = 0; block < HEAD_BLOCKS && block < blocks; ++block) {
        blockWriteSeq[block] = ++writeSeq;
    }
    RecomputeApplication();
}

void VirtualUnit::EraseFlash()
{
    std::lock_guard lock(mutex);
    std::fill(flash.begin(), flash.end(), 0xFF);
    std::fill(blockWriteSeq.begin(), blockWriteSeq.end(), 0);
    RecomputeApplication();
}

bool VirtualUnit::HasValidApplication() const
{
    std::lock_guard lock(mutex);
    return applicationValid;
}

std::vector<FlashOperation> VirtualUnit::FlashLog() const
{
    std::lock_guard lock(mutex);
    return flashLog;
}

void VirtualUnit::SetFixedReport(const std::vector<uint8_t>& report)
{
    std::lock_guard lock(mutex);
    fixedReport = report;
}

void VirtualUnit::ClearFixedReport()
{
    std::lock_guard lock(mutex);
    fixedReport.reset();
}

void VirtualUnit::HoldEngineAt(std::optional<uint64_t> elapsedMs)
{
    std::lock_guard lock(mutex);
    engineHeldAt = elapsedMs;
}

void VirtualUnit::AddFault(const FaultSpec& fault)
{
    faults.Add(fault);
}

void VirtualUnit::ClearFaults()
{
    faults.Clear();
}

uint32_t VirtualUnit::FaultsFired() const
{
    return faults.FiredCount();
}

std::vector<RequestRecord> VirtualUnit::RequestLog() const
{
    std::lock_guard lock(mutex);
    return log;
}

void VirtualUnit::ClearRequestLog()
{
    std::lock_guard lock(mutex);
    log.clear();
}

uint32_t VirtualUnit::RestartCount() const
{
    std::lock_guard lock(mutex);
    return restarts;
}

uint32_t VirtualUnit::ImageLength() const
{
    return ConfigurationImageLength(appGeneration);
}

bool VirtualUnit::SupportsLock() const
{
    return GenerationSupportsLock(appGeneration);
}
