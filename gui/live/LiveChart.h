// The live chart on the live monitor page: engine speed, wheel speed,
// throttle percentage and gear over a time span (10, 30, 60 or 120 s) up to
// now, with the shifter and blipper inputs and the ignition-cut,
// injection-cut and blipper outputs as on/off traces below. It shows either
// its own recent samples (the live poll) or a log's rows (replay), which may
// be shown whole. Drawn with the graphics context; while the page is hidden
// a new sample is only stored.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <wx/bitmap.h>
#include <wx/window.h>

#include "editor/LiveReadout.h"
#include "livelog/LogFormat.h"

class wxGraphicsContext;

class LiveChart : public wxWindow {
public:
    static constexpr int kSpans[] = {10, 30, 60, 120};  // seconds

    // `calibration` gives the editors' throttle limits for the percentage.
    LiveChart(wxWindow* parent, std::function<ThrottleCalibration()> calibration);

    // Live: a sample at `ms` (a steady clock); older samples than the longest
    // span are dropped.
    void AddSample(uint64_t ms, const LiveValues& values);
    // Replay: shows `rows` (owned by the caller, alive while shown) up to
    // `ms`; null goes back to the live samples, which start empty.
    void ShowRows(const std::vector<LogRow>* rows, uint64_t ms);
    // Shows the whole of the replayed log instead of the span.
    void ShowWhole(bool whole);
    void SetSpan(int seconds);
    int Span() const { return spanSeconds; }

    // For the tests: the rows in view at the last paint, and the paints.
    size_t SamplesDrawn() const { return samplesDrawn; }
    size_t Paints() const { return paints; }
    size_t SamplesHeld() const { return live.size(); }

private:
    struct Geometry {
        bool whole = false;
        uint64_t spanMs = 1, left = 0, right = 0;
        double plotLeft = 0, plotWidth = 0, plotTop = 0, plotHeight = 0, lanesTop = 0, lanesHeight = 0;
    };
    struct BackgroundKey {
        int width = 0, height = 0;
        uint64_t spanMs = 0;
        bool whole = false;
        friend bool operator==(const BackgroundKey&, const BackgroundKey&) = default;
    };
    Geometry Measure(const wxSize& size) const;
    void OnPaint(wxPaintEvent& event);
    void DrawBackground(wxGraphicsContext& gc, const wxSize& size, const Geometry& g);
    void DrawTraces(wxGraphicsContext& gc, const Geometry& g);
    void RefreshIfShown();
    const std::vector<LogRow>& Source() const { return replayRows != nullptr ? *replayRows : live; }

    std::function<ThrottleCalibration()> calibration;
    std::vector<LogRow> live;
    const std::vector<LogRow>* replayRows = nullptr;
    uint64_t now = 0;
    uint64_t lastPaintedMs = 0;
    int spanSeconds = 30;
    bool whole = false;
    size_t samplesDrawn = 0;
    size_t paints = 0;
    wxBitmap background;
    BackgroundKey backgroundKey;
};
