#include "RecordDiff.h"

#include "config/SettingsKeys.h"

namespace {

int32_t (&MapOf(DeviceConfiguration& config, RecordField::Kind kind))[kMapRows][kMapCells]
{
    return kind == RecordField::Kind::Blipper ? config.BlipperMap : config.ShifterMap;
}

const char* RowName(RecordField::Kind kind, int row)
{
    return kind == RecordField::Kind::Blipper ? BlipperRowKeyName(row) : ShifterRowKeyName(row);
}

void DiffMap(const DeviceConfiguration& ours, const DeviceConfiguration& theirs, RecordField::Kind kind,
             std::vector<FieldDifference>& out)
{
    for (int row = 0; row < kMapRows; ++row) {
        RecordField field{kind, nullptr, row, 0};
        if (FieldValue(ours, field) < 0 || FieldValue(theirs, field) < 0)
            continue;
        for (int cell = 1; cell < kMapCells; ++cell) {
            field.cell = cell;
            const int32_t a = FieldValue(ours, field);
            const int32_t b = FieldValue(theirs, field);
            if (a != b)
                out.push_back({RowName(kind, row) + std::to_string((cell + 1) * 1000), field, a, b});
        }
    }
}

}  // namespace

int32_t& FieldValue(DeviceConfiguration& config, const RecordField& field)
{
    if (field.kind == RecordField::Kind::Scalar)
        return config.*field.field;
    return MapOf(config, field.kind)[field.row][field.cell];
}

int32_t FieldValue(const DeviceConfiguration& config, const RecordField& field)
{
    return FieldValue(const_cast<DeviceConfiguration&>(config), field);
}

std::vector<FieldDifference> DiffRecords(const DeviceConfiguration& ours, const DeviceConfiguration& theirs)
{
    std::vector<FieldDifference> out;
    for (const SettingsScalarKey& key : SettingsScalarKeys()) {
        const RecordField field{RecordField::Kind::Scalar, key.field, 0, 0};
        if (ours.*key.field != theirs.*key.field)
            out.push_back({key.name, field, ours.*key.field, theirs.*key.field});
    }
    DiffMap(ours, theirs, RecordField::Kind::Blipper, out);
    DiffMap(ours, theirs, RecordField::Kind::Shifter, out);
    return out;
}

void TakeValues(DeviceConfiguration& config, std::span<const FieldDifference> differences)
{
    for (const FieldDifference& difference : differences) {
        FieldValue(config, difference.field) = difference.theirs;
        if (difference.field.kind != RecordField::Kind::Scalar && difference.field.cell == 1) {
            RecordField first = difference.field;
            first.cell = 0;
            FieldValue(config, first) = difference.theirs;
        }
    }
}
