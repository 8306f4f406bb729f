// Gear calibration by sensor voltage: one spin (mV) and one take-live-value
// button for neutral and each of gears 1-6. The main window handles the
// events of the children.
#pragma once

#include <array>

#include <wx/panel.h>

class wxButton;
class wxSpinCtrl;
class wxStaticText;

class GearVoltagePanel : public wxPanel {
public:
    explicit GearVoltagePanel(wxWindow* parent);

    // Index 0 neutral, 1-6 the gears.
    std::array<wxStaticText*, 7> labels{};
    std::array<wxSpinCtrl*, 7> spins{};
    std::array<wxButton*, 7> buttons{};
};
