// Measures the map tools on the main window's shifter grid with the whole
// map selected: the GUI thread's time from the key to the repainted grid
// (undo step included), for each tool that asks nothing, next to Fill down on
// the same selection as the baseline of this run. Goal: at most 5 ms.
//
// Run under a display and umockdev's preload, from the build folder:
//   xvfb-run -a umockdev-wrapper tools/bench/maptools/vantrel-bench-maptools [repeats]

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "AppRun.h"
#include "MainWindowHandle.h"
#include "editor/MapCurves.h"
#include "gui/editors/MapCurvesPanel.h"

namespace {

using Clock = std::chrono::steady_clock;

double ThreadCpuMs()
{
    return ThreadCpuSeconds() * 1e3;
}

// Cut times that differ from cell to cell, so that every tool changes some.
void Vary(wxGrid* grid, int round)
{
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        for (int col = 0; col < grid->GetNumberCols(); ++col)
            grid->SetCellValue(row, col, wxString::Format("%d", 30 + (row * 7 + col * 13 + round) % 100));
    grid->SelectAll();
}

struct Figures {
    double wallMedian = 0;
    double wallMax = 0;
    double cpuMedian = 0;
};

Figures Measure(wxGrid* grid, int repeats, const std::function<void()>& command)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < repeats; ++i) {
        Vary(grid, i);
        RunEventsFor(1);
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadCpuMs();
        command();
        // The undo takes Fill down's step once its handlers have run.
        wxTheApp->ProcessPendingEvents();
        grid->Update();
        cpus.push_back(ThreadCpuMs() - cpuStart);
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {median(walls), *std::max_element(walls.begin(), walls.end()), median(cpus)};
}

// A key as the grid gets it from the toolkit.
std::function<void()> Key(wxGrid* grid, wxEventType type, int keyCode, wxChar unicode)
{
    return [=] {
        wxKeyEvent key(type);
        key.m_keyCode = keyCode;
        key.m_uniChar = unicode;
        key.SetEventObject(grid);
        grid->ProcessWindowEvent(key);
    };
}

// The curves of the shifter map shown, one point dragged up and down: the
// time of each move from the mouse event to the repainted curves.
double DragMove(const MainWindowHandle& frame, wxGrid* grid, int repeats)
{
    auto* curves = dynamic_cast<MapCurvesPanel*>(frame->FindWindow("ID_MAP_CURVES_SHIFTER"));
    if (!curves) {
        std::printf("no curves of the shifter map\n");
        return 1e9;
    }
    // The curves are drawn on the shown page only.
    if (auto* notebook = dynamic_cast<wxNotebook*>(frame->FindWindow(XRCID("ID_NOTEBOOK1"))))
        for (size_t page = 0; page < notebook->GetPageCount(); ++page)
            if (notebook->GetPage(page)->IsDescendant(grid))
                notebook->SetSelection(page);
    // Switched on as the user does it.
    if (auto* toggle = dynamic_cast<wxCheckBox*>(frame->FindWindow("ID_MAP_CURVES_SHIFTER_SWITCH"))) {
        toggle->SetValue(true);
        wxCommandEvent checked(wxEVT_CHECKBOX, toggle->GetId());
        checked.SetInt(1);
        checked.SetEventObject(toggle);
        toggle->ProcessWindowEvent(checked);
    }
    RunEventsFor(200);
    grid->ClearSelection();
    for (int row = 0; row < grid->GetNumberRows(); ++row)
        grid->SetCellValue(row, 0, "60");
    const CurveArea area = curves->Area();
    const int x = static_cast<int>(CurveX(area, MapGridRowRpm(7)));
    auto mouse = [&](wxEventType type, int y, bool down) {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.m_leftDown = down;
        event.SetEventObject(curves);
        curves->ProcessWindowEvent(event);
    };
    mouse(wxEVT_LEFT_DOWN, static_cast<int>(CurveY(area, 60, MapGridKind::Shifter)), true);
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < repeats; ++i) {
        const long ms = 40 + (i * 7) % 100;
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadCpuMs();
        mouse(wxEVT_MOTION, static_cast<int>(CurveY(area, ms, MapGridKind::Shifter)), true);
        // The repaint of the curves and the grid it asks for.
        curves->Update();
        grid->Update();
        cpus.push_back(ThreadCpuMs() - cpuStart);
        walls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    mouse(wxEVT_LEFT_UP, 0, false);
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    const double median = cpus[cpus.size() / 2];
    // The wall time includes waiting for the display's next frame.
    std::printf("%-26s %10.3f %10.3f %12.3f   (goal: at most 16 ms of GUI CPU; cell now %s)\n",
                "Curves drag move", walls[walls.size() / 2], walls.back(), median,
                grid->GetCellValue(7, 0).utf8_string().c_str());
    return median;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(3, std::atoi(argv[1])) : 50;
    return RunApp(argv[0], BenchmarkOptions(VANTREL_GUI_DIR), [&] {
        const MainWindowHandle frame(MainWindow());
        frame.BuildPageHolding("ID_GRID3");
        RunEventsFor(100);
        auto* grid = dynamic_cast<wxGrid*>(frame->FindWindow(XRCID("ID_GRID3")));
        if (!grid) {
            std::fprintf(stderr, "no shifter grid\n");
            return 1;
        }
        frame->Show();
        RunEventsFor(300);
        // Fill down acts on the grid that has the keyboard.
        grid->GetGridWindow()->SetFocus();
        RunEventsFor(100);
        Vary(grid, 1);
        wxCommandEvent probe(wxEVT_MENU, XRCID("idFillDown"));
        frame->ProcessWindowEvent(probe);
        if (grid->GetCellValue(5, 0) != grid->GetCellValue(0, 0)) {
            std::fprintf(stderr, "Fill down did nothing: the grid has no keyboard focus\n");
            return 1;
        }
        const Figures baseline = Measure(grid, repeats, [frame] {
            wxCommandEvent fill(wxEVT_MENU, XRCID("idFillDown"));
            fill.SetEventObject(frame.Window());
            frame->ProcessWindowEvent(fill);
        });
        std::printf("%-26s %10s %10s %12s   (whole shifter map, %d runs)\n", "command", "median ms", "max ms",
                    "GUI CPU ms", repeats);
        auto print = [&](const char* name, const Figures& figures) {
            std::printf("%-26s %10.3f %10.3f %12.3f   baseline Fill down %.3f ms\n", name, figures.wallMedian,
                        figures.wallMax, figures.cpuMedian, baseline.wallMedian);
        };
        print("Fill down (baseline)", baseline);
        const struct {
            const char* name;
            wxEventType type;
            int keyCode;
            wxChar unicode;
        } tools[] = {
            {"Increase (+)", wxEVT_CHAR, '+', '+'},
            {"Decrease (-)", wxEVT_CHAR, '-', '-'},
            {"Increase x10 (Page Up)", wxEVT_KEY_DOWN, WXK_PAGEUP, WXK_NONE},
            {"Decrease x10 (Page Down)", wxEVT_KEY_DOWN, WXK_PAGEDOWN, WXK_NONE},
            {"Interpolate vertically", wxEVT_CHAR, 'V', 'v'},
            {"Interpolate horizontally", wxEVT_CHAR, 'H', 'h'},
            {"Interpolate (/)", wxEVT_CHAR, '/', '/'},
            {"Smooth", wxEVT_CHAR, 'S', 's'},
        };
        double worst = 0;
        for (const auto& tool : tools) {
            const Figures figures = Measure(grid, repeats, Key(grid, tool.type, tool.keyCode, tool.unicode));
            print(tool.name, figures);
            worst = std::max(worst, figures.wallMedian);
        }
        std::printf("slowest tool median %.3f ms (goal: at most 5 ms)\n", worst);
        const double drag = DragMove(frame, grid, repeats);
        return worst <= 5.0 && drag <= 16.0 ? 0 : 1;
    });
}
