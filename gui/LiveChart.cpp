#include "LiveChart.h"

#include <wx/dcbuffer.h>
#include <wx/graphics.h>
#include <wx/settings.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr uint64_t kLongestSpanMs = 120000;
constexpr double kMargin = 6;
constexpr double kLabelWidth = 70;
constexpr double kAxisHeight = 18;
constexpr double kLaneHeight = 14;

struct Trace {
    const char* label;
    wxColour colour;
    double full;  // the value at the top of the chart
};

// Blue, orange, green and purple stay apart for red/green colour blindness
// by their lightness as well as their hue.
const std::array<Trace, 4> kTraces = {{
    {"rpm", wxColour(31, 90, 200), 16000},
    {"km/h", wxColour(230, 120, 0), 300},
    {"throttle %", wxColour(0, 150, 110), 100},
    {"gear", wxColour(140, 60, 170), 7},
}};

const std::array<const char*, 5> kLanes = {"in shifter", "in blipper", "ign. cut", "inj. cut", "out blipper"};

uint32_t LaneBit(const LiveValues& values, size_t lane)
{
    switch (lane) {
        case 0:
            return values.inputShifter;
        case 1:
            return values.inputBlipper;
        case 2:
            return values.outputIgnition;
        case 3:
            return values.outputInjection;
        default:
            return values.outputBlipper;
    }
}

}  // namespace

LiveChart::LiveChart(wxWindow* parent, std::function<ThrottleCalibration()> calibration)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(600, 230), wxFULL_REPAINT_ON_RESIZE),
      calibration(std::move(calibration))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(400, 230));
    Bind(wxEVT_PAINT, &LiveChart::OnPaint, this);
}

void LiveChart::AddSample(uint64_t ms, const LiveValues& values)
{
    if (!live.empty() && ms < live.back().ms) {
        live.clear();  // a new run of the clock
    }
    LogRow row;
    row.ms = ms;
    row.values = values;
    live.push_back(std::move(row));
    // Drop the old samples in batches, not one per poll.
    if (live.size() > 1400 && live.front().ms + kLongestSpanMs < ms) {
        const auto keep = std::lower_bound(live.begin(), live.end(), ms - kLongestSpanMs,
                                           [](const LogRow& r, uint64_t time) { return r.ms < time; });
        live.erase(live.begin(), keep);
    }
    if (replayRows == nullptr) {
        now = ms;
        RefreshIfShown();
    }
}

void LiveChart::ShowRows(const std::vector<LogRow>* rows, uint64_t ms)
{
    replayRows = rows;
    if (rows == nullptr) {
        live.clear();
        now = 0;
    } else {
        now = ms;
    }
    RefreshIfShown();
}

void LiveChart::ShowWhole(bool showWhole)
{
    whole = showWhole;
    RefreshIfShown();
}

void LiveChart::SetSpan(int seconds)
{
    if (std::find(std::begin(kSpans), std::end(kSpans), seconds) != std::end(kSpans)) {
        spanSeconds = seconds;
        RefreshIfShown();
    }
}

void LiveChart::RefreshIfShown()
{
    // A hidden page is painted when it is shown again.
    if (IsShownOnScreen()) {
        Refresh(false);
    }
}

void LiveChart::OnPaint(wxPaintEvent& /*event*/)
{
    ++paints;
    wxAutoBufferedPaintDC dc(this);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) {
        Draw(*gc, GetClientSize());
    }
}

void LiveChart::Draw(wxGraphicsContext& gc, const wxSize& size)
{
    gc.SetBrush(wxBrush(*wxWHITE));
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(0, 0, size.x, size.y);

    const std::vector<LogRow>& rows = Source();
    const bool showWhole = whole && replayRows != nullptr;
    const uint64_t spanMs = showWhole ? std::max<uint64_t>(rows.empty() ? 1 : rows.back().ms, 1)
                                      : static_cast<uint64_t>(spanSeconds) * 1000;
    const uint64_t right = showWhole ? spanMs : std::max(now, spanMs);
    const uint64_t left = right - spanMs;

    const double plotLeft = kLabelWidth;
    const double plotWidth = std::max(10.0, size.x - plotLeft - kMargin);
    const double lanesHeight = kLanes.size() * kLaneHeight;
    const double plotTop = kMargin + 14;
    const double plotHeight = std::max(10.0, size.y - plotTop - lanesHeight - kAxisHeight - 2 * kMargin);
    const double lanesTop = plotTop + plotHeight + kMargin;
    auto xOf = [&](uint64_t ms) { return plotLeft + plotWidth * static_cast<double>(ms - left) / spanMs; };

    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Smaller();
    // Legend, frame, lanes and the time axis.
    double legendX = plotLeft;
    for (const Trace& trace : kTraces) {
        gc.SetFont(font, trace.colour);
        gc.DrawText(trace.label, legendX, kMargin - 2);
        double width = 0, height = 0;
        gc.GetTextExtent(trace.label, &width, &height);
        legendX += width + 14;
    }
    gc.SetPen(wxPen(wxColour(200, 200, 200)));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRectangle(plotLeft, plotTop, plotWidth, plotHeight);
    gc.SetFont(font, *wxBLACK);
    for (size_t lane = 0; lane < kLanes.size(); ++lane) {
        gc.DrawText(kLanes[lane], kMargin, lanesTop + lane * kLaneHeight);
    }
    const uint64_t tick = spanMs <= 10000    ? 1000
                          : spanMs <= 60000  ? 10000
                          : spanMs <= 120000 ? 20000
                                             : (spanMs / 6 + 59999) / 60000 * 60000;
    for (uint64_t t = (left + tick - 1) / tick * tick; t <= right; t += tick) {
        const double x = xOf(t);
        gc.StrokeLine(x, plotTop, x, lanesTop + lanesHeight);
        const wxString label = showWhole
                                   ? wxString::Format("%llu s", static_cast<unsigned long long>(t / 1000))
                                   : wxString::Format("%lld s", -static_cast<long long>((right - t) / 1000));
        gc.DrawText(label, x - 10, lanesTop + lanesHeight + 2);
    }

    // The rows in view, thinned to about one per pixel column; an on/off
    // trace keeps every pulse of the rows it stands for.
    const auto first = std::lower_bound(rows.begin(), rows.end(), left,
                                        [](const LogRow& r, uint64_t time) { return r.ms < time; });
    const auto last = std::upper_bound(first, rows.end(), right,
                                       [](uint64_t time, const LogRow& r) { return time < r.ms; });
    const size_t count = static_cast<size_t>(last - first);
    samplesDrawn = count;
    if (count == 0) {
        return;
    }
    const size_t step = std::max<size_t>(1, count / static_cast<size_t>(plotWidth));
    const ThrottleCalibration limits = calibration ? calibration() : ThrottleCalibration{};
    std::array<wxGraphicsPath, kTraces.size()> paths;
    for (wxGraphicsPath& path : paths) {
        path = gc.CreatePath();
    }
    std::array<wxGraphicsPath, kLanes.size()> lanes;
    for (wxGraphicsPath& path : lanes) {
        path = gc.CreatePath();
    }
    bool start = true;
    for (auto row = first; row < last;
         row += static_cast<std::ptrdiff_t>(std::min<size_t>(step, last - row))) {
        const LiveValues& v = row->values;
        const double x = xOf(row->ms);
        const std::array<double, kTraces.size()> values = {
            static_cast<double>(v.rpm), static_cast<double>(v.speed),
            static_cast<double>(std::clamp(LiveThrottlePercent(v.tpsVoltage, limits), 0, 100)),
            static_cast<double>(std::min<uint32_t>(v.gear, 7))};
        for (size_t i = 0; i < kTraces.size(); ++i) {
            const double y = plotTop + plotHeight * (1 - std::min(values[i] / kTraces[i].full, 1.0));
            if (start) {
                paths[i].MoveToPoint(x, y);
            } else {
                paths[i].AddLineToPoint(x, y);
            }
        }
        const auto bucketEnd = row + static_cast<std::ptrdiff_t>(std::min<size_t>(step, last - row));
        for (size_t lane = 0; lane < kLanes.size(); ++lane) {
            bool on = false;
            for (auto r = row; r < bucketEnd && !on; ++r) {
                on = LaneBit(r->values, lane) != 0;
            }
            if (on) {
                const double y = lanesTop + lane * kLaneHeight + 3;
                lanes[lane].AddRectangle(x, y, std::max(1.0, plotWidth * step * 100.0 / spanMs),
                                         kLaneHeight - 5);
            }
        }
        start = false;
    }
    for (size_t i = 0; i < kTraces.size(); ++i) {
        gc.SetPen(wxPen(kTraces[i].colour, 2));
        gc.StrokePath(paths[i]);
    }
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(60, 60, 60)));
    for (wxGraphicsPath& path : lanes) {
        gc.FillPath(path);
    }
}
