// Where the editors' content last came from or went to (read from a unit or
// written to it, loaded from a file or saved to one, the defaults of New) and
// whether the editors have been edited since.
#pragma once

#include <string>

#include "config/DeviceConfiguration.h"

enum class SourceKind { Unit, File, Defaults };

struct EditorSource {
    SourceKind kind = SourceKind::Defaults;
    // The unit's serial number, the file's name, or the version text of the
    // generation whose defaults New showed.
    std::string label;
    bool operator==(const EditorSource&) const = default;
};

struct EditorOrigin {
    EditorSource source;
    // What the editors held when they came from the source or went to it.
    DeviceConfiguration record{};
    bool operator==(const EditorOrigin&) const = default;
};

// "Unit VT000001", "shifter-race.vtn", "Defaults of 1.08".
std::string SourceText(const EditorSource& source);

// The editors hold another record than the one of their origin; undoing back
// to that record makes them unedited again.
bool IsEdited(const EditorOrigin& origin, const DeviceConfiguration& current);
