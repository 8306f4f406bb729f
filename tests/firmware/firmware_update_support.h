// Shared pieces of the firmware update tests: the virtual bus for the whole
// run, a log target that keeps every record, the paced waits of the update
// made observable, and a connection to a unit found by its serial number.
#pragma once

#include <gtest/gtest.h>
#include <wx/init.h>
#include <wx/log.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "emulator/VirtualBus.h"
#include "fwimages/FwFile.h"
#include "gui/FirmwareUpdatePacing.h"
#include "gui/VantrelBase.h"
#include "usb/UsbConnection.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"

// The bus must exist before libusb is initialised, so both live for the whole
// run, created before the first test.
class FirmwareBusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!VirtualBus::InMockEnvironment()) {
            return;
        }
        bus = std::make_unique<VirtualBus>();
        usb = std::make_unique<UsbConnection>();
    }
    void TearDown() override
    {
        usb.reset();
        bus.reset();
    }

    static VirtualBus* Bus() { return bus.get(); }

private:
    static inline std::unique_ptr<VirtualBus> bus;
    static inline std::unique_ptr<UsbConnection> usb;
    wxInitializer wx;
};

struct LogEntry {
    wxLogLevel level;
    std::string text;
    bool operator==(const LogEntry&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const LogEntry& entry)
{
    return out << "[" << entry.level << "] " << entry.text;
}

// Keeps every record; the progress records separately as numbers.
class RecordingLog : public wxLog {
public:
    std::vector<LogEntry> messages;  // everything but progress
    std::vector<int> progress;

    // Called for each record before it is stored (e.g. to act at a step).
    std::function<void(wxLogLevel, const std::string&)> onRecord;

    std::vector<std::string> Errors() const
    {
        std::vector<std::string> errors;
        for (const LogEntry& entry : messages) {
            if (entry.level == wxLOG_Error) {
                errors.push_back(entry.text);
            }
        }
        return errors;
    }
    bool Contains(const std::string& text) const
    {
        for (const LogEntry& entry : messages) {
            if (entry.text == text) {
                return true;
            }
        }
        return false;
    }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& msg, const wxLogRecordInfo&) override
    {
        const std::string text = msg.ToStdString();
        if (onRecord) {
            onRecord(level, text);
        }
        if (level == wxLOG_Progress) {
            progress.push_back(std::stoi(text));
        } else {
            messages.push_back({level, text});
        }
    }
};

// Installs a RecordingLog for one test and removes it afterwards; its pacing
// goes to the update. The sleeps stay real (500 ms); they are counted, and a test may
// act after each one (`afterSleep`, with the 1-based sleep number) or at each
// yield.
class UpdateObserver {
public:
    UpdateObserver()
    {
        previousLog = wxLog::SetActiveTarget(&log);
        pacing.yield = [this] {
            ++yields;
            if (onYield) {
                onYield();
            }
        };
        pacing.sleep = [this](uint32_t milliseconds) {
            ++sleeps;
            sleptMs += milliseconds;
            DefaultUpdateSleep(milliseconds);
            if (afterSleep) {
                afterSleep(sleeps);
            }
        };
    }
    ~UpdateObserver() { wxLog::SetActiveTarget(previousLog); }
    UpdateObserver(const UpdateObserver&) = delete;
    UpdateObserver& operator=(const UpdateObserver&) = delete;

    RecordingLog log;
    // What the test passes to the update.
    UpdatePacing pacing;
    int yields = 0;
    int sleeps = 0;
    uint64_t sleptMs = 0;
    std::function<void()> onYield;
    std::function<void(int)> afterSleep;

private:
    wxLog* previousLog = nullptr;
};

// A connection to the unit with this serial number, opened; null when the
// unit is not on the bus or does not open.
inline std::unique_ptr<VantrelBase> ConnectBySerial(const std::string& serial)
{
    std::unique_ptr<UsbDeviceList> list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
    for (UsbDevice* device = list->GetFirst(); device != nullptr; device = list->GetNext()) {
        if (device->serialNumber == serial) {
            auto connection = std::make_unique<VantrelBase>(*device);
            if (connection->Open()) {
                return connection;
            }
            return nullptr;
        }
    }
    return nullptr;
}

// The image the library hands out for the virtual unit's hardware (0x0901,
// version 0x0108, 19060 bytes).
inline FwFile LibraryImage(int32_t hardware = 0x0901)
{
    FwFile image{};
    EXPECT_EQ(GetFwFile(hardware, 3, 0, &image), 1);
    return image;
}
