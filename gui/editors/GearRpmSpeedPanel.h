// Gear calibration by the ratio of engine rpm to wheel speed: one spin and one
// take-live-value button for each of gears 1-6 (no neutral row). The main
// window handles the events of the children.
#pragma once

#include <array>

#include <wx/panel.h>

class wxButton;
class wxSpinCtrl;
class wxStaticText;

class GearRpmSpeedPanel : public wxPanel {
public:
    explicit GearRpmSpeedPanel(wxWindow* parent);

    wxStaticText* info = nullptr;
    // Index 0-5 = gears 1-6.
    std::array<wxStaticText*, 6> labels{};
    std::array<wxSpinCtrl*, 6> spins{};
    std::array<wxButton*, 6> buttons{};
};
