// USB identifiers of the unit and of its sibling product.
#pragma once

#include <cstdint>

inline constexpr uint16_t UNIT_VENDOR_ID = 0xA600;
inline constexpr uint16_t UNIT_PRODUCT_ID = 0xE361;
inline constexpr uint16_t CORVELLO_PRODUCT_ID = 0xE360;
inline constexpr uint8_t UNIT_DEVICE_CLASS = 0xFF;  // vendor specific
inline constexpr uint32_t TRANSFER_TIMEOUT_MS = 100;

// libusb's "access denied" code: this user may not open the device node.
inline constexpr int32_t USB_ERROR_ACCESS = -3;
