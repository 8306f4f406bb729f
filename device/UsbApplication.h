// Common base of the application-mode generations: the IVantrel interface on
// top of the unit's USB device, with Open, Close and IsOpen of both bases
// meaning the same thing.
#pragma once

#include "device/IVantrel.h"
#include "usb/UsbVantrel.h"

class UsbApplication : public IVantrel, public UsbVantrel {
public:
    explicit UsbApplication(const UsbDevice& record) : UsbVantrel(record) {}
    UsbApplication() = default;

    // One overrider for both bases, so opening through either gives the same
    // result.
    bool Open() override;
    bool Close() override;
    bool IsOpen() const override;
};
