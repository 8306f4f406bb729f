// The configuration being edited, as the editor controls hold it: the value of
// every control of the binding table and the cells of the two map grids. The
// record is made from them (Collect) and put into them (Show) by walks of the
// table; validation says which controls hold invalid values.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "config/DeviceConfiguration.h"
#include "editor/EditorBindings.h"
#include "editor/MapGridRules.h"

using ControlValues = std::array<int, kEditorControlCount>;

// Everything the editors hold: the value of every control and the cells of
// both map grids. Undo keeps one before and one after each step.
struct EditorState {
    ControlValues controls{};
    MapGridValues blipper{};
    MapGridValues shifter{};
    bool operator==(const EditorState&) const = default;
};

// What the controls show of a record before they apply their own ranges: the
// window sets these. Throws std::runtime_error "Invalid item
// pulses_per_two_revolutions" for pulses other than 1, 2 and 4.
ControlValues RequestedControlValues(const DeviceConfiguration& record);

// The pause takes every value that makes a period of 0 ... 2000 ms with the
// active time beside it: -active ... 2000 - active.
std::pair<int, int> WarmUpPauseRange(int active);

// The value a control holds after the window set `requested`: a spin keeps it
// inside its range, a choice or radio box ignores a selection it lacks.
int HeldValue(const ControlBinding& binding, int requested, int current);

// Which controls are invalid. `marked` turn red; `listed` is the window's
// ordered list of invalid controls (the first gets the focus on a refusal).
struct EditorValidity {
    std::vector<EditorControl> marked;
    std::vector<EditorControl> listed;
    bool operator==(const EditorValidity&) const = default;
};
// The calibration spins of the active gear-detection method must differ
// (ordered by value, equal values in panel order); the TPS limits must differ
// (both marked, the maximum listed).
EditorValidity Validate(const ControlValues& controls);
// The spins Validate looks at: both calibration panels and the TPS limits.
std::vector<EditorControl> ValidatedControls();

// The input, other than `changed`, that first holds the function just chosen
// for `changed` (it then gives it up); -1 when none does. Index 0-5.
int InputGivingUpFunction(const ControlValues& controls, int changed);

// The record a state makes: Collect of a model that holds it. Throws as
// Collect does.
DeviceConfiguration CollectState(const EditorState& state);

class EditorModel {
public:
    EditorModel();

    const ControlValues& Controls() const { return controls; }
    int Value(EditorControl control) const { return controls[static_cast<size_t>(control)]; }
    void SetValue(EditorControl control, int value) { controls[static_cast<size_t>(control)] = value; }
    const MapGridValues& Grid(MapGridKind kind) const
    {
        return kind == MapGridKind::Blipper ? blipper : shifter;
    }
    MapGridValues& Grid(MapGridKind kind) { return kind == MapGridKind::Blipper ? blipper : shifter; }

    // The record the editors hold. Throws std::runtime_error "Invalid value
    // pulses_per_two_revolutions" when the pulses choice holds no item.
    DeviceConfiguration Collect() const;

    // Puts a record into the controls as the window's controls take it:
    // ranges and missing items apply, map rows starting negative leave their
    // grid column alone. Throws (pulses) before anything changes.
    void Show(const DeviceConfiguration& record);

    EditorValidity Validate() const { return ::Validate(controls); }

    EditorState State() const { return {controls, blipper, shifter}; }
    void SetState(const EditorState& state);

private:
    ControlValues controls{};
    MapGridValues blipper{};
    MapGridValues shifter{};
};
