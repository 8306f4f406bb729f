// The configuration store of a unit as its firmware sees it: what a unit of
// each generation leaves the factory with, and the record its firmware works
// from when it drives the engine's live report.
#pragma once

#include <cstdint>
#include <vector>

#include "config/ConfigurationImage.h"
#include "config/DeviceConfiguration.h"

// Which column of defaults a generation was built with (100-102, 103-106,
// 107, 108 and later).
DefaultsFamily DefaultsFamilyOf(uint16_t generation);
// 196-byte format up to 106, 212-byte format from 107.
ImageFormat ImageFormatOf(uint16_t generation);

// The record as the unit's image of `generation` holds it: encoded as the
// program encodes it when it writes.
std::vector<uint8_t> UnitImage(const DeviceConfiguration& config, uint16_t generation);
// A new unit: its generation's defaults in the image the program would write.
std::vector<uint8_t> FactoryImage(uint16_t generation);

// The record the unit's firmware works from. An image it cannot decode (wrong
// length, a pulses code it does not know) leaves it on its factory values.
DeviceConfiguration StoredConfiguration(const std::vector<uint8_t>& image, uint16_t generation);

// The image after a firmware update to `generation` changed the store's
// format: the common bytes stay, the new ones start at the factory values.
std::vector<uint8_t> ConvertImage(const std::vector<uint8_t>& image, uint16_t generation);
