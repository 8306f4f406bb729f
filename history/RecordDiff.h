// What differs between two configuration records, field by field and map cell
// by map cell, under the names of the settings keys, and taking the other record's values into one record.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "config/DeviceConfiguration.h"

// One field of the record: a scalar, or one cell of a map row.
struct RecordField {
    enum class Kind { Scalar, Blipper, Shifter };
    Kind kind = Kind::Scalar;
    ConfigField field = nullptr;  // Scalar only
    int row = 0;                  // map row (gear)
    int cell = 0;                 // map cell 1 ... 15 (2000 ... 16000 rpm)
};

int32_t& FieldValue(DeviceConfiguration& config, const RecordField& field);
int32_t FieldValue(const DeviceConfiguration& config, const RecordField& field);

struct FieldDifference {
    std::string name;  // "TPSMinVoltage", "ShifterMap3G5000"
    RecordField field;
    int32_t ours = 0;
    int32_t theirs = 0;
};

// Every differing field: the scalars in the settings files' order, then the
// blipper and the shifter map row by row. Map cells are those the editors
// show (2000 ... 16000 rpm); a row that one record lacks (its first cell
// negative) is not compared.
std::vector<FieldDifference> DiffRecords(const DeviceConfiguration& ours, const DeviceConfiguration& theirs);

// Puts the other value of each given difference into the record. A map's
// 2000 rpm cell also sets its 1000 rpm cell, as the editors keep them.
void TakeValues(DeviceConfiguration& config, std::span<const FieldDifference> differences);
