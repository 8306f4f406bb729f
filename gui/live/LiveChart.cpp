#include "gui/live/LiveChart.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/filedlg.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/translation.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "gui/widgets/ErrorBox.h"
#include "livelog/SampleHistory.h"

namespace {

constexpr uint64_t kLivePaintIntervalMs = 200;
constexpr double kMargin = 6;
constexpr double kLabelWidth = 70;
constexpr double kAxisHeight = 18;
constexpr double kLaneHeight = 14;
constexpr double kLineHeight = 13;

struct Trace {
    const char* label;
    const char* unit;
    wxColour colour;
    double full;  // the value at the top of the chart
};

// Blue, orange, green and purple stay apart for red/green colour blindness
// by their lightness as well as their hue.
const std::array<Trace, 4> kTraces = {{
    {wxTRANSLATE("engine"), wxTRANSLATE("rpm"), wxColour(31, 90, 200), 16000},
    {wxTRANSLATE("speed"), "km/h", wxColour(230, 120, 0), 300},
    {wxTRANSLATE("throttle"), "%", wxColour(0, 150, 110), 100},
    {wxTRANSLATE("gear"), "", wxColour(140, 60, 170), 7},
}};

std::array<double, kTraces.size()> TraceValues(const LiveValues& v, const ThrottleCalibration& limits)
{
    return {static_cast<double>(v.rpm), static_cast<double>(v.speed),
            static_cast<double>(std::clamp(LiveThrottlePercent(v.tpsVoltage, limits), 0, 100)),
            static_cast<double>(std::min<uint32_t>(v.gear, 7))};
}

wxString ValueText(size_t trace, double value)
{
    const char* unit = kTraces[trace].unit;
    return *unit == '\0' ? wxString::Format("%.0f", value)
                         : wxString::Format("%.0f %s", value, wxGetTranslation(unit));
}

// The top of a trace's scale.
wxString ScaleText(size_t trace)
{
    return trace == 3 ? wxString::Format(_("gear %.0f"), kTraces[trace].full)
                      : ValueText(trace, kTraces[trace].full);
}

wxFont ChartFont()
{
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Smaller();
}

}  // namespace

LiveChart::LiveChart(wxWindow* parent, const SampleHistory& history,
                     std::function<ThrottleCalibration()> calibration)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(600, 230),
               wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      history(history),
      calibration(std::move(calibration))
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(400, 230));
    SetName("ID_LIVE_CHART");
    Bind(wxEVT_PAINT, &LiveChart::OnPaint, this);
    Bind(wxEVT_MOTION, &LiveChart::OnMouse, this);
    Bind(wxEVT_LEFT_DOWN, &LiveChart::OnMouse, this);
    Bind(wxEVT_LEAVE_WINDOW, &LiveChart::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &LiveChart::OnKey, this);
    Bind(wxEVT_CONTEXT_MENU, &LiveChart::OnContextMenu, this);
    // The focus shows in the frame's colour.
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        Refresh(false);
        event.Skip();
    });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        Refresh(false);
        event.Skip();
    });
}

const std::vector<LogRow>& LiveChart::Source() const
{
    return replayRows != nullptr ? *replayRows : history.Rows();
}

size_t LiveChart::SamplesHeld() const
{
    return history.Rows().size();
}

void LiveChart::SamplesAdded()
{
    if (replayRows != nullptr || held) {
        return;
    }
    // Five paints a second scroll smoothly enough.
    const uint64_t ms = history.NewestMs();
    if (ms >= lastPaintedMs + kLivePaintIntervalMs || ms < lastPaintedMs) {
        lastPaintedMs = ms;
        RefreshIfShown();
    }
}

void LiveChart::ShowRows(const std::vector<LogRow>* rows, uint64_t ms)
{
    if (rows != replayRows) {
        cursorMs.reset();
        cursorPinned = false;
    }
    replayRows = rows;
    replayMs = rows == nullptr ? 0 : ms;
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
        if (held) {
            held->left = held->right - static_cast<int64_t>(seconds) * 1000;
        }
        RefreshIfShown();
    }
}

void LiveChart::Hold(bool hold)
{
    if (hold == Held()) {
        return;
    }
    if (hold) {
        held = LiveWindow(history.Rows(), static_cast<uint64_t>(spanSeconds) * 1000);
    } else {
        held.reset();
    }
    RefreshIfShown();
    if (holdChanged) {
        holdChanged(hold);
    }
}

ChartWindow LiveChart::Window() const
{
    const uint64_t spanMs = static_cast<uint64_t>(spanSeconds) * 1000;
    if (replayRows != nullptr) {
        return ReplayWindow(*replayRows, replayMs, spanMs, whole);
    }
    return held ? *held : LiveWindow(history.Rows(), spanMs);
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
    g.window = Window();
    g.live = replayRows == nullptr;
    g.whole = whole && !g.live;
    g.plotLeft = LabelWidth();
    g.plotWidth = std::max(10.0, size.x - g.plotLeft - kMargin);
    g.lanesHeight = kChartLanes.size() * kLaneHeight;
    g.plotTop = kMargin + 14;
    g.plotHeight = std::max(10.0, size.y - g.plotTop - g.lanesHeight - kAxisHeight - 2 * kMargin);
    g.lanesTop = g.plotTop + g.plotHeight + kMargin;
    return g;
}

double LiveChart::LabelWidth() const
{
    if (labelWidth > 0) {
        return labelWidth;
    }
    const wxFont font = ChartFont();
    std::vector<wxString> texts;
    for (size_t i = 0; i < kTraces.size(); ++i) {
        texts.push_back(ScaleText(i));
    }
    for (const auto& lane : kChartLanes) {
        texts.push_back(wxGetTranslation(lane.name));
    }
    labelWidth = kLabelWidth;
    for (const wxString& text : texts) {
        int width = 0;
        GetTextExtent(text, &width, nullptr, nullptr, nullptr, &font);
        labelWidth = std::max(labelWidth, kMargin + width + 2);
    }
    return labelWidth;
}

std::pair<double, double> LiveChart::PlotSpan() const
{
    const Geometry g = Measure(GetClientSize());
    return {g.plotLeft, g.plotWidth};
}

void LiveChart::OnPaint(wxPaintEvent& /*event*/)
{
    ++paints;
    wxPaintDC dc(this);
    Draw(dc, GetClientSize());
}

void LiveChart::Draw(wxDC& dc, const wxSize& size)
{
    if (size.x <= 0 || size.y <= 0) {
        return;
    }
    const Geometry g = Measure(size);
    // The scales, the frame, the lane names and the time axis change only
    // with the size, the span or the log shown whole: they are drawn once
    // into a bitmap, and each paint puts the traces over a copy of it.
    const BackgroundKey key{size.x, size.y, g.window.right - g.window.left, g.whole, g.live, g.window.empty};
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
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::CreateFromUnknownDC(dc));
    if (!gc) {
        return;
    }
    const RowRange range = RowsIn(Source(), g.window);
    samplesDrawn = range.last - range.first;
    DrawTraces(*gc, g, range);
    if (held) {
        DrawHeld(*gc, size);
    }
    if (const std::optional<LogRow> row = CursorSample()) {
        DrawCursor(*gc, g, *row);
    }
    if (HasFocus()) {
        gc->SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), 1, wxPENSTYLE_DOT));
        gc->SetBrush(*wxTRANSPARENT_BRUSH);
        gc->DrawRectangle(1, 1, size.x - 3, size.y - 3);
    }
}

void LiveChart::DrawBackground(wxGraphicsContext& gc, const wxSize& size, const Geometry& g)
{
    gc.SetBrush(wxBrush(*wxWHITE));
    gc.SetPen(*wxTRANSPARENT_PEN);
    gc.DrawRectangle(0, 0, size.x, size.y);
    const wxFont font = ChartFont();
    // Each trace's scale: its full value at the top of the plot, 0 at the
    // bottom, in its colour.
    for (size_t i = 0; i < kTraces.size(); ++i) {
        gc.SetFont(font, kTraces[i].colour);
        gc.DrawText(ScaleText(i), kMargin, g.plotTop + i * kLineHeight);
    }
    // The names over the plot: the fields beside the chart and its cursor
    // give the values.
    double legendX = g.plotLeft;
    for (const Trace& trace : kTraces) {
        const wxString text = wxGetTranslation(trace.label);
        gc.SetFont(font, trace.colour);
        gc.DrawText(text, legendX, kMargin - 2);
        double width = 0, height = 0;
        gc.GetTextExtent(text, &width, &height);
        legendX += width + 14;
    }
    gc.SetFont(font, *wxBLACK);
    gc.DrawText("0", g.plotLeft - 12, g.plotTop + g.plotHeight - kLineHeight);
    gc.SetPen(wxPen(wxColour(200, 200, 200)));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRectangle(g.plotLeft, g.plotTop, g.plotWidth, g.plotHeight);
    for (size_t lane = 0; lane < kChartLanes.size(); ++lane) {
        gc.DrawText(wxGetTranslation(kChartLanes[lane].name), kMargin, g.lanesTop + lane * kLaneHeight);
    }
    if (g.window.empty) {
        return;  // no sample yet: no time to show
    }
    // Seconds before the right edge at fixed places (the traces scroll
    // under them), or the time into the log when it is shown whole.
    const int64_t spanMs = g.window.right - g.window.left;
    const int64_t tick = spanMs <= 10000    ? 1000
                         : spanMs <= 60000  ? 10000
                         : spanMs <= 120000 ? 20000
                                            : (spanMs / 6 + 59999) / 60000 * 60000;
    for (int64_t t = 0; t <= spanMs; t += tick) {
        const int64_t at = g.whole ? g.window.left + t : g.window.right - t;
        const double x = TimeToX(at, g.window, g.plotLeft, g.plotWidth);
        gc.StrokeLine(x, g.plotTop, x, g.lanesTop + g.lanesHeight);
        const long long seconds = static_cast<long long>(t / 1000);
        const wxString label = g.whole  ? wxString::Format(_("%lld s"), seconds)
                               : t == 0 ? _("now")
                                        : wxString::Format(_("%lld s"), -seconds);
        double width = 0, height = 0;
        gc.GetTextExtent(label, &width, &height);
        // Centred on its line, but inside the chart.
        const double labelX = std::clamp(x - width / 2, g.plotLeft - width / 2, size.x - width - 2);
        gc.DrawText(label, labelX, g.lanesTop + g.lanesHeight + 2);
    }
}

void LiveChart::DrawTraces(wxGraphicsContext& gc, const Geometry& g, const RowRange& range)
{
    const std::vector<LogRow>& rows = Source();
    auto xOf = [&](uint64_t ms) {
        return TimeToX(static_cast<int64_t>(ms), g.window, g.plotLeft, g.plotWidth);
    };
    if (g.whole) {
        gc.SetPen(wxPen(wxColour(120, 120, 120)));
        gc.StrokeLine(xOf(replayMs), g.plotTop, xOf(replayMs), g.lanesTop + g.lanesHeight);
    }
    const size_t count = range.last - range.first;
    if (count == 0) {
        return;
    }
    // The rows in view, thinned to about one per pixel column; an on/off
    // lane keeps every pulse of the rows it stands for.
    const size_t step = std::max<size_t>(1, count / static_cast<size_t>(g.plotWidth));
    const double spanMs = static_cast<double>(std::max<int64_t>(g.window.right - g.window.left, 1));
    const ThrottleCalibration limits = calibration ? calibration() : ThrottleCalibration{};
    std::array<wxGraphicsPath, kTraces.size()> paths;
    for (wxGraphicsPath& path : paths) {
        path = gc.CreatePath();
    }
    std::array<wxGraphicsPath, kChartLanes.size()> lanes;
    for (wxGraphicsPath& path : lanes) {
        path = gc.CreatePath();
    }
    bool start = true;
    for (size_t row = range.first; row < range.last; row += std::min(step, range.last - row)) {
        const double x = xOf(rows[row].ms);
        const std::array<double, kTraces.size()> values = TraceValues(rows[row].values, limits);
        for (size_t i = 0; i < kTraces.size(); ++i) {
            const double y = g.plotTop + g.plotHeight * (1 - std::min(values[i] / kTraces[i].full, 1.0));
            if (start) {
                paths[i].MoveToPoint(x, y);
            } else {
                paths[i].AddLineToPoint(x, y);
            }
        }
        const size_t bucketEnd = row + std::min(step, range.last - row);
        for (size_t lane = 0; lane < kChartLanes.size(); ++lane) {
            bool on = false;
            for (size_t r = row; r < bucketEnd && !on; ++r) {
                on = LaneOn(rows[r].values, lane);
            }
            if (on) {
                const double y = g.lanesTop + lane * kLaneHeight + 3;
                lanes[lane].AddRectangle(x, y, std::max(1.0, g.plotWidth * step * 100.0 / spanMs),
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
    gc.SetAntialiasMode(wxANTIALIAS_DEFAULT);
}

void LiveChart::DrawHeld(wxGraphicsContext& gc, const wxSize& size)
{
    const wxFont font = ChartFont().Bold();
    gc.SetFont(font, *wxRED);
    double width = 0, height = 0;
    gc.GetTextExtent(_("held"), &width, &height);
    gc.DrawText(_("held"), size.x - kMargin - width, kMargin - 2);
}

wxString LiveChart::TimeText(const Geometry& g, uint64_t ms) const
{
    if (g.live) {
        const int64_t before = g.window.right - static_cast<int64_t>(ms);
        return before == 0 ? _("now") : wxString::Format(_("%.1f s"), -static_cast<double>(before) / 1000);
    }
    return wxString::Format(_("%.1f s"), static_cast<double>(ms) / 1000);
}

void LiveChart::DrawCursor(wxGraphicsContext& gc, const Geometry& g, const LogRow& row)
{
    const double x = TimeToX(static_cast<int64_t>(row.ms), g.window, g.plotLeft, g.plotWidth);
    gc.SetPen(wxPen(*wxBLACK, 1));
    gc.StrokeLine(x, g.plotTop, x, g.lanesTop + g.lanesHeight);

    // The time and every trace's value in one column, every lane's state in
    // the other; on the side of the line with more room.
    const ThrottleCalibration limits = calibration ? calibration() : ThrottleCalibration{};
    const std::array<double, kTraces.size()> values = TraceValues(row.values, limits);
    std::vector<std::pair<wxString, wxColour>> left{{TimeText(g, row.ms), *wxBLACK}};
    for (size_t i = 0; i < kTraces.size(); ++i) {
        left.emplace_back(wxGetTranslation(kTraces[i].label) + " " + ValueText(i, values[i]),
                          kTraces[i].colour);
    }
    std::vector<wxString> right;
    for (size_t lane = 0; lane < kChartLanes.size(); ++lane) {
        right.push_back(wxGetTranslation(kChartLanes[lane].name) + " " +
                        (LaneOn(row.values, lane) ? _("on") : _("off")));
    }
    const wxFont font = ChartFont();
    gc.SetFont(font, *wxBLACK);
    double leftWidth = 0, rightWidth = 0, width = 0, height = 0;
    for (const auto& [text, colour] : left) {
        gc.GetTextExtent(text, &width, &height);
        leftWidth = std::max(leftWidth, width);
    }
    for (const wxString& text : right) {
        gc.GetTextExtent(text, &width, &height);
        rightWidth = std::max(rightWidth, width);
    }
    const double boxWidth = leftWidth + rightWidth + 18;
    const double boxHeight = left.size() * kLineHeight + 6;
    const double boxX =
        x + 8 + boxWidth <= g.plotLeft + g.plotWidth ? x + 8 : std::max(0.0, x - 8 - boxWidth);
    const double boxY = g.plotTop + 4;
    gc.SetBrush(wxBrush(wxColour(255, 255, 255, 225)));
    gc.SetPen(wxPen(wxColour(120, 120, 120)));
    gc.DrawRectangle(boxX, boxY, boxWidth, boxHeight);
    for (size_t i = 0; i < left.size(); ++i) {
        gc.SetFont(font, left[i].second);
        gc.DrawText(left[i].first, boxX + 6, boxY + 3 + i * kLineHeight);
    }
    gc.SetFont(font, *wxBLACK);
    for (size_t i = 0; i < right.size(); ++i) {
        gc.DrawText(right[i], boxX + leftWidth + 12,
                    boxY + 3 + (i + (left.size() - right.size())) * kLineHeight);
    }
}

void LiveChart::PlaceCursor(std::optional<int64_t> ms)
{
    cursorMs.reset();
    if (ms.has_value()) {
        const std::vector<LogRow>& rows = Source();
        const RowRange range = RowsIn(rows, Window());
        const size_t row = NearestRow(rows, *ms, range.first, range.last);
        if (row < range.last) {
            cursorMs = static_cast<int64_t>(rows[row].ms);
        }
    }
    RefreshIfShown();
}

std::optional<LogRow> LiveChart::CursorSample() const
{
    if (!cursorMs) {
        return std::nullopt;
    }
    const std::vector<LogRow>& rows = Source();
    const RowRange range = RowsIn(rows, Window());
    const size_t row = NearestRow(rows, *cursorMs, range.first, range.last);
    if (row >= range.last || static_cast<int64_t>(rows[row].ms) != *cursorMs) {
        return std::nullopt;  // scrolled out of view, or gone
    }
    return rows[row];
}

void LiveChart::OnMouse(wxMouseEvent& event)
{
    event.Skip();
    if (event.Leaving()) {
        if (!cursorPinned) {
            PlaceCursor(std::nullopt);
        }
        return;
    }
    if (event.LeftDown()) {
        SetFocus();
        cursorPinned = true;
    } else if (cursorPinned) {
        return;  // a click holds the cursor where it was put
    }
    const Geometry g = Measure(GetClientSize());
    if (g.window.empty) {
        return;
    }
    PlaceCursor(XToTime(event.GetX(), g.window, g.plotLeft, g.plotWidth));
}

void LiveChart::MoveCursorBy(int rows, bool toEnd)
{
    const std::vector<LogRow>& source = Source();
    const RowRange range = RowsIn(source, Window());
    if (range.first >= range.last) {
        return;
    }
    size_t row = range.last - 1;
    if (cursorMs) {
        row = NearestRow(source, *cursorMs, range.first, range.last);
    }
    if (toEnd) {
        row = rows < 0 ? range.first : range.last - 1;
    } else if (rows < 0) {
        row = row > range.first ? row - 1 : row;
    } else if (cursorMs) {
        row = std::min(row + 1, range.last - 1);
    }
    cursorPinned = true;
    PlaceCursor(static_cast<int64_t>(source[row].ms));
}

void LiveChart::OnKey(wxKeyEvent& event)
{
    switch (event.GetKeyCode()) {
        case WXK_LEFT:
            MoveCursorBy(-1, false);
            break;
        case WXK_RIGHT:
            MoveCursorBy(1, false);
            break;
        case WXK_HOME:
            MoveCursorBy(-1, true);
            break;
        case WXK_END:
            MoveCursorBy(1, true);
            break;
        case WXK_SPACE:
            if (replayRows == nullptr) {
                Hold(!Held());
            }
            break;
        case WXK_TAB:
            // The chart takes every key: Tab must still leave it.
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
            break;
        case WXK_ESCAPE:
            cursorPinned = false;
            PlaceCursor(std::nullopt);
            break;
        default:
            event.Skip();
    }
}

void LiveChart::OnContextMenu(wxContextMenuEvent& /*event*/)
{
    wxMenu menu;
    const int save = wxWindow::NewControlId();
    menu.Append(save, _("Save as image..."));
    if (GetPopupMenuSelectionFromUser(menu) != save) {
        return;
    }
    wxFileDialog dialog(this, _("Save the chart as an image"), wxEmptyString, "vantrel-chart.png",
                        _("PNG images (*.png)|*.png"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() == wxID_OK && !SaveImage(dialog.GetPath())) {
        ShowError(wxString::Format(_("The chart could not be saved as \"%s\"."), dialog.GetPath()),
                  _("Error"));
    }
}

bool LiveChart::SaveImage(const wxString& path)
{
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) {
        return false;
    }
    wxBitmap image;
    image.Create(size);
    {
        wxMemoryDC memory(image);
        Draw(memory, size);
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    return image.ConvertToImage().SaveFile(path, wxBITMAP_TYPE_PNG);
}
