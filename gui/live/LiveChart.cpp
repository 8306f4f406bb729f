#include "gui/live/LiveChart.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/settings.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr uint64_t kLongestSpanMs = 120000;
constexpr uint64_t kLivePaintIntervalMs = 200;
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
    {wxTRANSLATE("rpm"), wxColour(31, 90, 200), 16000},
    {wxTRANSLATE("km/h"), wxColour(230, 120, 0), 300},
    {wxTRANSLATE("throttle %"), wxColour(0, 150, 110), 100},
    {wxTRANSLATE("gear"), wxColour(140, 60, 170), 7},
}};

const std::array<const char*, 5> kLanes = {wxTRANSLATE("in shifter"), wxTRANSLATE("in blipper"),
                                           wxTRANSLATE("ign. cut"), wxTRANSLATE("inj. cut"),
                                           wxTRANSLATE("out blipper")};

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
        // Five paints a second scroll smoothly enough; each costs a few
        // milliseconds of the GUI thread.
        if (ms >= lastPaintedMs + kLivePaintIntervalMs || ms < lastPaintedMs) {
            lastPaintedMs = ms;
            RefreshIfShown();
        }
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

LiveChart::Geometry LiveChart::Measure(const wxSize& size) const
{
    Geometry g;
    const std::vector<LogRow>& rows = Source();
    g.whole = whole && replayRows != nullptr;
    g.spanMs = g.whole ? std::max<uint64_t>(rows.empty() ? 1 : rows.back().ms, 1)
                       : static_cast<uint64_t>(spanSeconds) * 1000;
    g.right = g.whole ? g.spanMs : std::max(now, g.spanMs);
    g.left = g.right - g.spanMs;
    g.plotLeft = kLabelWidth;
    g.plotWidth = std::max(10.0, size.x - g.plotLeft - kMargin);
    g.lanesHeight = kLanes.size() * kLaneHeight;
    g.plotTop = kMargin + 14;
    g.plotHeight = std::max(10.0, size.y - g.plotTop - g.lanesHeight - kAxisHeight - 2 * kMargin);
    g.lanesTop = g.plotTop + g.plotHeight + kMargin;
    return g;
}

void LiveChart::OnPaint(wxPaintEvent& /*event*/)
{
    ++paints;
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return;
    }
    const Geometry g = Measure(size);
    // The legend, the frame, the lane names and the time axis change only
    // with the size, the span or the log shown whole: they are drawn once
    // into a bitmap, and each paint puts the traces over a copy of it.
    const BackgroundKey key{size.x, size.y, g.spanMs, g.whole};
    if (!background.IsOk() || !(key == backgroundKey)) {
        background = wxBitmap();
        background.Create(size);
        wxMemoryDC memory(background);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(memory));
        if (gc) {
            DrawBackground(*gc, size, g);
        }
        backgroundKey = key;
    }
    dc.DrawBitmap(background, 0, 0);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) {
        DrawTraces(*gc, g);
    }
}

void LiveChart::DrawBackground(wxGraphicsContext& gc, const wxSize& size, const Geometry& g)
{
    gc.SetBrush(wxBrush(*wxWHITE));
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(0, 0, size.x, size.y);
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Smaller();
    double legendX = g.plotLeft;
    for (const Trace& trace : kTraces) {
        gc.SetFont(font, trace.colour);
        gc.DrawText(wxGetTranslation(trace.label), legendX, kMargin - 2);
        double width = 0, height = 0;
        gc.GetTextExtent(wxGetTranslation(trace.label), &width, &height);
        legendX += width + 14;
    }
    gc.SetPen(wxPen(wxColour(200, 200, 200)));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRectangle(g.plotLeft, g.plotTop, g.plotWidth, g.plotHeight);
    gc.SetFont(font, *wxBLACK);
    for (size_t lane = 0; lane < kLanes.size(); ++lane) {
        gc.DrawText(wxGetTranslation(kLanes[lane]), kMargin, g.lanesTop + lane * kLaneHeight);
    }
    // Seconds before now at fixed places (the traces scroll under them), or
    // the time into the log when it is shown whole.
    const uint64_t tick = g.spanMs <= 10000    ? 1000
                          : g.spanMs <= 60000  ? 10000
                          : g.spanMs <= 120000 ? 20000
                                               : (g.spanMs / 6 + 59999) / 60000 * 60000;
    for (uint64_t t = 0; t <= g.spanMs; t += tick) {
        const double x = g.whole ? g.plotLeft + g.plotWidth * static_cast<double>(t) / g.spanMs
                                 : g.plotLeft + g.plotWidth * (1 - static_cast<double>(t) / g.spanMs);
        gc.StrokeLine(x, g.plotTop, x, g.lanesTop + g.lanesHeight);
        const long long seconds = static_cast<long long>(t / 1000);
        const wxString label = g.whole        ? wxString::Format("%lld s", seconds)
                               : seconds == 0 ? _("now")
                                              : wxString::Format("%lld s", -seconds);
        double width = 0, height = 0;
        gc.GetTextExtent(label, &width, &height);
        // Centred on its line, but inside the chart.
        const double labelX = std::clamp(x - width / 2, g.plotLeft - width / 2, size.x - width - 2);
        gc.DrawText(label, labelX, g.lanesTop + g.lanesHeight + 2);
    }
}

void LiveChart::DrawTraces(wxGraphicsContext& gc, const Geometry& g)
{
    const std::vector<LogRow>& rows = Source();
    const uint64_t left = g.left;
    const uint64_t right = g.right;
    const uint64_t spanMs = g.spanMs;
    const double plotLeft = g.plotLeft;
    const double plotWidth = g.plotWidth;
    const double plotTop = g.plotTop;
    const double plotHeight = g.plotHeight;
    const double lanesTop = g.lanesTop;
    auto xOf = [&](uint64_t ms) { return plotLeft + plotWidth * static_cast<double>(ms - left) / spanMs; };
    if (g.whole) {
        gc.SetPen(wxPen(wxColour(120, 120, 120)));
        gc.StrokeLine(xOf(now), plotTop, xOf(now), lanesTop + g.lanesHeight);
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
    gc.SetAntialiasMode(wxANTIALIAS_NONE);  // upright bars need none
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.SetBrush(wxBrush(wxColour(60, 60, 60)));
    for (wxGraphicsPath& path : lanes) {
        gc.FillPath(path);
    }
}
