#include "gui/editors/MapVisitsView.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/sizer.h>

#include "gui/editors/MapGridHeat.h"
#include "livelog/ReplayTimeline.h"

MapVisitsView::MapVisitsView(Wiring wiring) : wiring(std::move(wiring)) {}

void MapVisitsView::AttachGrid(wxGrid& grid, MapGridKind kind, wxSizer* line)
{
    wxCheckBox*& visible = switches[static_cast<size_t>(kind)];
    if (visible || !line)
        return;
    wxWindow* parent = grid.GetParent();
    visible = new wxCheckBox(parent, wxID_ANY, _("Visits"));
    visible->SetName(kind == MapGridKind::Blipper ? "ID_MAP_VISITS_BLIPPER" : "ID_MAP_VISITS_SHIFTER");
    visible->SetToolTip(kind == MapGridKind::Blipper ? _("Show how many blips happened in each cell")
                                                     : _("Show how many up-shifts happened in each cell"));
    auto* clear =
        new wxButton(parent, wxID_ANY, _("Clear visits"), wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
    line->AddSpacer(12);
    line->Add(visible, 0, wxALIGN_CENTER_VERTICAL);
    line->Add(clear, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    line->Layout();
    parent->Layout();
    visible->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Show(); });
    clear->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Clear(); });
}

void MapVisitsView::CountLive(const LiveValues& values, const void* source)
{
    if (source != liveSource) {
        visits.Clear();
        liveSource = source;
    }
    visits.Count(values, wiring.perGearColumns(MapGridKind::Shifter),
                 wiring.perGearColumns(MapGridKind::Blipper));
    Show();
}

void MapVisitsView::CountLog(const ReplayTimeline& timeline)
{
    visits.Clear();
    // The live count starts again after the replay.
    liveSource = nullptr;
    const bool shifterPerGear = wiring.perGearColumns(MapGridKind::Shifter);
    const bool blipperPerGear = wiring.perGearColumns(MapGridKind::Blipper);
    for (const LogRow& row : timeline.Rows())
        visits.Count(row.values, shifterPerGear, blipperPerGear);
    Show();
}

void MapVisitsView::Clear()
{
    visits.Clear();
    Show();
}

void MapVisitsView::Show()
{
    for (MapGridKind kind : {MapGridKind::Blipper, MapGridKind::Shifter}) {
        MapGridHeat* heat = wiring.heatOf(kind);
        const wxCheckBox* visible = switches[static_cast<size_t>(kind)];
        if (heat)
            heat->ShowVisits(visible && visible->IsChecked() ? std::optional(visits.Of(kind)) : std::nullopt);
    }
}
