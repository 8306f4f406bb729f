#include "gui/live/LiveWatch.h"

#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/tglbtn.h>
#include <wx/translation.h>
#include <wx/xrc/xmlres.h>

#include <chrono>

#include "gui/VantrelBase.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LivePollTimer.h"
#include "gui/live/LogReplay.h"
#include "session/Connection.h"

LiveWatch::LiveWatch(Wiring wiring) : wiring(std::move(wiring))
{
    Connection& device = this->wiring.connection;
    LivePollTimer& poll = this->wiring.poll;
    logging = std::make_unique<LiveLogging>(this->wiring.frame, device, [&poll] { return poll.IsRunning(); });
    LogReplay::LiveControl live;
    live.stop = [this, &device, &poll] {
        const bool running = poll.IsRunning();
        poll.Stop();
        logging->Stop(kLogStoppedLine);
        replayConnection = device.Get();
        return running;
    };
    live.resume = [&poll] { poll.Start(); };
    live.sameConnection = [this, &device] { return device.Get() == replayConnection && device->IsOpen(); };
    live.show = this->wiring.show;
    live.notice = this->wiring.notice;
    live.opened = this->wiring.replayOpened;
    replay = std::make_unique<LogReplay>(this->wiring.frame, std::move(live));
    logging->BindToFrame();
    replay->BindToFrame();
}

LiveWatch::~LiveWatch() = default;

void LiveWatch::AddToPage(wxWindow* livePage)
{
    if (livePage == nullptr || livePage->GetSizer() == nullptr || chart != nullptr) {
        return;
    }
    chart = new LiveChart(livePage, history, wiring.throttleLimits);
    replay->UseChart(chart);

    // Below the gauges, inputs and outputs, beside the raw report (the
    // page's last column, which keeps its full height): the chart with its
    // span and the logging button, then the replay controls.
    wxSizer* monitor = livePage->GetSizer();
    auto* upper = new wxBoxSizer(wxHORIZONTAL);
    while (monitor->GetItemCount() > 1) {
        wxSizerItem* item = monitor->GetItem(static_cast<size_t>(0));
        const int proportion = item->GetProportion();
        const int flag = item->GetFlag();
        const int border = item->GetBorder();
        if (wxWindow* window = item->GetWindow()) {
            monitor->Detach(0);
            upper->Add(window, proportion, flag, border);
        } else if (wxSizer* sizer = item->GetSizer()) {
            monitor->Detach(0);
            upper->Add(sizer, proportion, flag, border);
        } else {
            const wxSize spacer = item->GetSize();
            monitor->Remove(0);
            upper->Add(spacer.x, spacer.y, proportion, flag, border);
        }
    }
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(upper, 0, wxEXPAND);
    auto* chartRow = new wxBoxSizer(wxHORIZONTAL);
    chartRow->Add(chart, 1, wxEXPAND | wxRIGHT, 4);
    auto* side = new wxBoxSizer(wxVERTICAL);
    side->Add(new wxStaticText(livePage, wxID_ANY, _("Chart span:")), 0, wxBOTTOM, 2);
    auto* spanChoice = new wxChoice(livePage, XRCID("ID_CHOICE_CHART_SPAN"));
    for (int seconds : LiveChart::kSpans) {
        spanChoice->Append(wxString::Format("%d s", seconds));
    }
    spanChoice->SetSelection(1);
    chart->SetSpan(30);
    side->Add(spanChoice, 0, wxEXPAND | wxBOTTOM, 8);
    // Holds the chart's view while the poll and the log go on (Space on the
    // chart does the same).
    holdButton = new wxToggleButton(livePage, XRCID("ID_TOGGLE_CHART_HOLD"), _("Hold"));
    side->Add(holdButton, 0, wxEXPAND | wxBOTTOM, 8);
    holdButton->Bind(wxEVT_TOGGLEBUTTON, [this](wxCommandEvent& event) { chart->Hold(event.IsChecked()); });
    chart->OnHoldChanged([this](bool held) { holdButton->SetValue(held); });
    logging->AddControls(livePage, side);
    chartRow->Add(side, 0);
    column->Add(chartRow, 1, wxEXPAND | wxALL, 4);
    auto* replayRow = new wxBoxSizer(wxHORIZONTAL);
    replay->AddControls(livePage, replayRow);
    column->Add(replayRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
    monitor->Insert(0, column, 1, wxEXPAND);
    // A page built after the window was shown has been laid out already.
    livePage->Layout();
    wiring.frame.Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event) {
            if (event.GetInt() >= 0 && event.GetInt() < static_cast<int>(std::size(LiveChart::kSpans))) {
                chart->SetSpan(LiveChart::kSpans[event.GetInt()]);
            }
        },
        XRCID("ID_CHOICE_CHART_SPAN"));
}

void LiveWatch::Record(const LiveValues& values, const LiveRaw& raw)
{
    logging->Record(values, raw);
    const VantrelBase* unit = wiring.connection.Get();
    history.FromUnit(unit != nullptr ? unit->GetSerialNumber() : std::string());
    history.Add(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - started)
                                          .count()),
                values);
    if (chart != nullptr) {
        chart->SamplesAdded();
    }
}
