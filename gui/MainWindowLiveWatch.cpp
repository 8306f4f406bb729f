// The main window's watching of the engine: the live chart, data logging and
// log replay on the live monitor page (gui/live: LiveChart, LiveLogging,
// LogReplay).
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include <chrono>

#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/editors/EditorUndo.h"
#include "gui/editors/EditorsView.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LiveLogging.h"
#include "gui/live/LivePollTimer.h"
#include "gui/live/LogReplay.h"

void VTX_GUIFrame::SetUpLiveWatch(wxWindow* livePage)
{
    // Logging and replay exist from the start (their menu commands work
    // without the page); the chart and the controls come with the page,
    // which may be built later: call again with it then.
    if (!logging) {
        logging = std::make_unique<LiveLogging>(
            *this, [this]() -> VantrelBase& { return *device; }, [this] { return liveTimers->IsRunning(); });
        LogReplay::LiveControl live;
        live.stop = [this] {
            const bool running = liveTimers->IsRunning();
            liveTimers->Stop();
            logging->Stop(kLogStoppedLine);
            replayConnection = device.Get();
            return running;
        };
        live.resume = [this] { liveTimers->Start(); };
        live.show = [this](const LiveValues& values, const LiveRaw& raw) {
            ShowLiveValues(values);
            ShowLiveRaw(raw);
        };
        live.notice = [this](const wxString& line) { undo->SetNotice(line); };
        live.sameConnection = [this] { return device.Get() == replayConnection && device->IsOpen(); };
        replay = std::make_unique<LogReplay>(*this, std::move(live));
        logging->BindToFrame();
        replay->BindToFrame();
    }
    if (livePage == nullptr || livePage->GetSizer() == nullptr || liveChart != nullptr) {
        return;
    }
    liveChart = new LiveChart(livePage, [this] {
        // The limits are the editor model's also while their page is not built.
        ThrottleCalibration calibration;
        if (editors) {
            calibration = {editors->ValueOf(EditorControl::TpsMin), editors->ValueOf(EditorControl::TpsMax)};
        }
        return calibration;
    });
    replay->UseChart(liveChart);

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
    chartRow->Add(liveChart, 1, wxEXPAND | wxRIGHT, 4);
    auto* side = new wxBoxSizer(wxVERTICAL);
    side->Add(new wxStaticText(livePage, wxID_ANY, "Chart span:"), 0, wxBOTTOM, 2);
    auto* spanChoice = new wxChoice(livePage, XRCID("ID_CHOICE_CHART_SPAN"));
    for (int seconds : LiveChart::kSpans) {
        spanChoice->Append(wxString::Format("%d s", seconds));
    }
    spanChoice->SetSelection(1);
    liveChart->SetSpan(30);
    side->Add(spanChoice, 0, wxEXPAND | wxBOTTOM, 8);
    logging->AddControls(livePage, side);
    chartRow->Add(side, 0);
    column->Add(chartRow, 1, wxEXPAND | wxALL, 4);
    auto* replayRow = new wxBoxSizer(wxHORIZONTAL);
    replay->AddControls(livePage, replayRow);
    column->Add(replayRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 4);
    monitor->Insert(0, column, 1, wxEXPAND);
    // A page built after the window was shown has been laid out already.
    livePage->Layout();
    Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event) {
            if (event.GetInt() >= 0 && event.GetInt() < static_cast<int>(std::size(LiveChart::kSpans))) {
                liveChart->SetSpan(LiveChart::kSpans[event.GetInt()]);
            }
        },
        XRCID("ID_CHOICE_CHART_SPAN"));
}

void VTX_GUIFrame::RecordLiveReport(const LiveValues& values, const LiveRaw& raw)
{
    logging->Record(values, raw);
    if (liveChart != nullptr) {
        static const auto start = std::chrono::steady_clock::now();
        liveChart->AddSample(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                       std::chrono::steady_clock::now() - start)
                                                       .count()),
                             values);
    }
}
