#include "gui/live/LogReplay.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

#include "gui/live/LiveChart.h"
#include "livelog/LogReader.h"

namespace {

constexpr int kTickMs = 100;
constexpr uint64_t kSliderStepMs = 100;

}  // namespace

LogReplay::LogReplay(wxWindow& window, LiveControl live)
    : window(window), live(std::move(live)), timer(&window)
{
}

LogReplay::~LogReplay()
{
    timer.Stop();
}

void LogReplay::AddControls(wxWindow* page, wxSizer* sizer)
{
    playButton = new wxButton(page, XRCID("ID_BUTTON_REPLAY_PLAY"), "Play");
    speedChoice = new wxChoice(page, XRCID("ID_CHOICE_REPLAY_SPEED"));
    for (int speed : ReplayTimeline::kSpeeds) {
        speedChoice->Append(wxString::Format("x%d", speed));
    }
    speedChoice->SetSelection(0);
    slider = new wxSlider(page, XRCID("ID_SLIDER_REPLAY"), 0, 0, 1, wxDefaultPosition, wxSize(120, -1));
    positionText = new wxStaticText(page, XRCID("ID_STATICTEXT_REPLAY_POSITION"), "0:00.0 / 0:00.0");
    wholeCheck = new wxCheckBox(page, XRCID("ID_CHECKBOX_REPLAY_WHOLE"), _("Whole log"));
    closeButton = new wxButton(page, XRCID("ID_BUTTON_REPLAY_CLOSE"), _("Close replay"));
    sizer->Add(playButton, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    sizer->Add(speedChoice, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    sizer->Add(slider, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 4);
    sizer->Add(positionText, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    sizer->Add(wholeCheck, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    sizer->Add(closeButton, 0, wxALIGN_CENTER_VERTICAL);
    EnableControls();
    // A log opened before the live page was built.
    if (timeline) {
        FitSlider();
        ShowCurrent();
    }
}

void LogReplay::FitSlider()
{
    if (slider != nullptr) {
        slider->SetRange(0, static_cast<int>(std::max<uint64_t>(timeline->Duration() / kSliderStepMs, 1)));
    }
}

void LogReplay::BindToFrame()
{
    window.Bind(wxEVT_MENU, &LogReplay::OnOpenLog, this, XRCID("ID_MENU_OPEN_LOG"));
    window.Bind(wxEVT_TIMER, &LogReplay::OnTimer, this, timer.GetId());
    window.Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { timeline && timeline->Playing() ? Pause() : Play(); },
        XRCID("ID_BUTTON_REPLAY_PLAY"));
    window.Bind(
        wxEVT_CHOICE,
        [this](wxCommandEvent& event) {
            if (event.GetInt() >= 0 &&
                event.GetInt() < static_cast<int>(std::size(ReplayTimeline::kSpeeds))) {
                SetSpeed(ReplayTimeline::kSpeeds[event.GetInt()]);
            }
        },
        XRCID("ID_CHOICE_REPLAY_SPEED"));
    window.Bind(
        wxEVT_SLIDER,
        [this](wxCommandEvent& event) { SeekTo(static_cast<uint64_t>(event.GetInt()) * kSliderStepMs); },
        XRCID("ID_SLIDER_REPLAY"));
    window.Bind(
        wxEVT_CHECKBOX, [this](wxCommandEvent& event) { ShowWhole(event.IsChecked()); },
        XRCID("ID_CHECKBOX_REPLAY_WHOLE"));
    window.Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); }, XRCID("ID_BUTTON_REPLAY_CLOSE"));
}

void LogReplay::OnOpenLog(wxCommandEvent& /*event*/)
{
    wxFileDialog dialog(&window, _("Open log"), wxEmptyString, wxEmptyString,
                        _("Live logs (*.csv)|*.csv|All files|*"), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) {
        Open(dialog.GetPath());
    }
}

bool LogReplay::Open(const wxString& path)
{
    LogContents contents = ReadLog(path.utf8_string());
    if (!contents.isLog || contents.rows.empty()) {
        wxMessageBox(
            contents.problem ? wxString::FromUTF8(*contents.problem) : _("The log holds no rows to replay."),
            _("Open log"), wxOK | wxICON_ERROR, &window);
        return false;
    }
    if (contents.problem.has_value()) {
        wxMessageBox(wxString::FromUTF8(*contents.problem), _("Open log"), wxOK | wxICON_WARNING, &window);
    }
    if (!Active()) {
        resumeLive = live.stop && live.stop();
    }
    timeline = std::make_unique<ReplayTimeline>(std::move(contents.rows));
    if (live.opened)
        live.opened(*timeline);
    FitSlider();
    if (speedChoice != nullptr) {
        speedChoice->SetSelection(0);
    }
    const wxString name = wxFileName(path).GetFullName();
    // Shown before the editors' source, which comes back when the replay ends.
    live.notice(resumeLive ? wxString::Format(_("Replaying %s: the live view of the unit is stopped"), name)
                           : wxString::Format(_("Replaying %s"), name));
    EnableControls();
    ShowCurrent();
    return true;
}

void LogReplay::Close()
{
    if (!Active()) {
        return;
    }
    timer.Stop();
    timeline.reset();
    if (chart != nullptr) {
        chart->ShowRows(nullptr, 0);
    }
    live.show(LiveValues{}, LiveRaw{});
    live.notice(wxEmptyString);
    EnableControls();
    if (resumeLive && live.sameConnection && live.sameConnection() && live.resume) {
        live.resume();
    }
    resumeLive = false;
}

void LogReplay::Play()
{
    if (!timeline) {
        return;
    }
    timeline->Play();
    lastTick = std::chrono::steady_clock::now();
    timer.Start(kTickMs);
    ShowCurrent();
}

void LogReplay::Pause()
{
    if (!timeline) {
        return;
    }
    timeline->Pause();
    timer.Stop();
    ShowCurrent();
}

void LogReplay::SetSpeed(int factor)
{
    if (timeline) {
        timeline->SetSpeed(factor);
    }
}

void LogReplay::SeekTo(uint64_t ms)
{
    if (timeline) {
        timeline->Seek(ms);
        ShowCurrent();
    }
}

void LogReplay::ShowWhole(bool whole)
{
    if (chart != nullptr) {
        chart->ShowWhole(whole);
    }
}

void LogReplay::OnTimer(wxTimerEvent& /*event*/)
{
    if (!timeline) {
        timer.Stop();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick).count();
    lastTick = now;
    timeline->Advance(static_cast<uint64_t>(elapsed));
    if (!timeline->Playing()) {
        timer.Stop();
    }
    ShowCurrent();
}

void LogReplay::UseChart(LiveChart* liveChart)
{
    chart = liveChart;
    if (chart != nullptr && timeline) {
        chart->ShowRows(&timeline->Rows(), timeline->Position());
        chart->ShowWhole(wholeCheck != nullptr && wholeCheck->GetValue());
    }
}

void LogReplay::ShowCurrent()
{
    if (!timeline) {
        return;
    }
    const LogRow& row = timeline->Current();
    live.show(row.values, row.raw);
    if (chart != nullptr) {
        chart->ShowRows(&timeline->Rows(), timeline->Position());
    }
    if (slider != nullptr) {
        const int value = static_cast<int>(timeline->Position() / kSliderStepMs);
        if (slider->GetValue() != value) {
            slider->SetValue(value);
        }
    }
    if (playButton != nullptr) {
        playButton->SetLabel(timeline->Playing() ? _("Pause") : _("Play"));
    }
    if (positionText != nullptr) {
        positionText->SetLabel(wxString::FromUTF8(ReplayTimeText(timeline->Position()) + " / " +
                                                  ReplayTimeText(timeline->Duration())));
    }
}

void LogReplay::EnableControls()
{
    for (wxWindow* control :
         std::initializer_list<wxWindow*>{playButton, speedChoice, slider, wholeCheck, closeButton}) {
        if (control != nullptr) {
            control->Enable(Active());
        }
    }
    if (playButton != nullptr && !Active()) {
        playButton->SetLabel(_("Play"));
    }
}
