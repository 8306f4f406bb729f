// The live chart on the live monitor page: engine speed, wheel speed,
// throttle percentage and gear over a time span (10, 30, 60 or 120 s) up to
// the newest sample ("now"), with the shifter and blipper inputs and the
// ignition-cut, injection-cut and blipper outputs as on/off lanes below. It
// shows either the poll's sample history (kept from connect on, whatever page
// is shown) or a log's rows (replay), which may be shown whole.
//
// Each trace is drawn against its own scale (its full value at the top, in
// the label column, 0 at the bottom); the cursor gives every channel's value
// at its sample. Hovering or clicking puts a cursor on the nearest sample, which
// Left/Right, Home and End move while the chart has the keyboard; Space
// holds the view while the poll and the log go on. The context menu saves
// the chart as a PNG image. Drawn with the graphics context; while the page
// is hidden nothing is painted.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/window.h>

#include "editor/LiveReadout.h"
#include "livelog/ChartAxis.h"
#include "livelog/LogFormat.h"

class SampleHistory;
class wxGraphicsContext;

class LiveChart : public wxWindow {
public:
    static constexpr int kSpans[] = {10, 30, 60, 120};  // seconds

    // `history` outlives the chart; `calibration` gives the editors'
    // throttle limits for the percentage.
    LiveChart(wxWindow* parent, const SampleHistory& history,
              std::function<ThrottleCalibration()> calibration);

    // The history got a sample: the view follows unless held or replaying.
    void SamplesAdded();
    // Replay: shows `rows` (owned by the caller, alive while shown) up to
    // `ms`; null goes back to the sample history.
    void ShowRows(const std::vector<LogRow>* rows, uint64_t ms);
    // Shows the whole of the replayed log instead of the span.
    void ShowWhole(bool whole);
    void SetSpan(int seconds);
    int Span() const { return spanSeconds; }

    // Freezes the view where it is (true) or returns it to now (false);
    // `changed` hears every change, also those made with Space.
    void Hold(bool hold);
    bool Held() const { return held.has_value(); }
    void OnHoldChanged(std::function<void(bool)> changed) { holdChanged = std::move(changed); }

    // The cursor: on the sample nearest `ms` in view (none: removed).
    void PlaceCursor(std::optional<int64_t> ms);
    // The sample under the cursor, if there is one in view.
    std::optional<LogRow> CursorSample() const;
    // The time shown now.
    ChartWindow Window() const;
    // The plot's left edge and width in the window's pixels.
    std::pair<double, double> PlotSpan() const;

    // The chart as it looks now into a PNG file; false when it cannot be written.
    bool SaveImage(const wxString& path);

    // For the tests: the rows in view at the last paint, and the paints.
    size_t SamplesDrawn() const { return samplesDrawn; }
    size_t Paints() const { return paints; }
    size_t SamplesHeld() const;

private:
    struct Geometry {
        ChartWindow window;
        bool whole = false;
        bool live = true;
        double plotLeft = 0, plotWidth = 0, plotTop = 0, plotHeight = 0, lanesTop = 0, lanesHeight = 0;
    };
    struct BackgroundKey {
        int width = 0, height = 0;
        int64_t spanMs = 0;
        bool whole = false, live = true, empty = true;
        friend bool operator==(const BackgroundKey&, const BackgroundKey&) = default;
    };
    Geometry Measure(const wxSize& size) const;
    // Left of the plot: room for the widest scale or lane name in the
    // user's language, measured once.
    double LabelWidth() const;
    void Draw(wxDC& dc, const wxSize& size);
    void DrawBackground(wxGraphicsContext& gc, const wxSize& size, const Geometry& g);
    void DrawTraces(wxGraphicsContext& gc, const Geometry& g, const RowRange& range);
    void DrawHeld(wxGraphicsContext& gc, const wxSize& size);
    void DrawCursor(wxGraphicsContext& gc, const Geometry& g, const LogRow& row);
    wxString TimeText(const Geometry& g, uint64_t ms) const;
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void MoveCursorBy(int rows, bool toEnd);
    void RefreshIfShown();
    const std::vector<LogRow>& Source() const;

    const SampleHistory& history;
    std::function<ThrottleCalibration()> calibration;
    std::function<void(bool)> holdChanged;
    const std::vector<LogRow>* replayRows = nullptr;
    uint64_t replayMs = 0;
    std::optional<ChartWindow> held;
    std::optional<int64_t> cursorMs;
    bool cursorPinned = false;
    uint64_t lastPaintedMs = 0;
    int spanSeconds = 30;
    bool whole = false;
    size_t samplesDrawn = 0;
    size_t paints = 0;
    mutable double labelWidth = 0;
    wxBitmap background;
    BackgroundKey backgroundKey;
};
