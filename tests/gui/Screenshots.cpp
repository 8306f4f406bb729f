// Takes the pictures in docs/screenshots: every page of the main window's
// notebook on the simulated unit, and the main window showing a
// configuration read from a virtual unit, its live chart and a replay of the
// sample log. Not a test; run by hand:
//   xvfb-run -a -s "-screen 0 1600x1200x24" umockdev-wrapper build/tests/gui/gui_screenshots docs/screenshots
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/xrc/xmlres.h>

#include "AppRun.h"
#include "config/ConfigurationImage.h"
#include "emulator/LiveEngine.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "gui/live/LiveChart.h"
#include "gui/live/LogReplay.h"
#include "session/EditorSession.h"
#include "session/UserSettings.h"

namespace {

// The X server's picture of the window (wxScreenDC does not see other
// windows under GTK 3).
bool Shoot(wxWindow* window, const std::string& path)
{
    window->Raise();
    window->Refresh();
    window->Update();
    RunEventsFor(500);
    const wxRect rect = window->GetScreenRect();
    const std::string command = "import -window root -crop " + std::to_string(rect.width) + "x" +
                                std::to_string(rect.height) + "+" + std::to_string(rect.x) + "+" +
                                std::to_string(rect.y) + " +repage '" + path + "'";
    const bool ok = std::system(command.c_str()) == 0;
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

std::string FileName(wxString caption)
{
    caption.MakeLower();
    std::string name;
    for (wxUniChar c : caption) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            name += static_cast<char>(c.GetValue());
        else if (!name.empty() && name.back() != '-')
            name += '-';
    }
    while (!name.empty() && name.back() == '-')
        name.pop_back();
    return name;
}

int ShootAll(VirtualBus* bus, VTX_GUIFrame* frame, const std::string& output)
{
    frame->Move(0, 0);
    RunEventsFor(800);

    bool ok = true;
    auto* notebook = dynamic_cast<wxNotebook*>(frame->FindWindow(XRCID("ID_NOTEBOOK1")));
    for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
        notebook->SetSelection(page);
        ok = Shoot(frame, output + "/page-" + std::to_string(page + 1) + "-" +
                              FileName(notebook->GetPageText(page)) + ".png") &&
             ok;
    }

    if (bus) {
        UnitOptions options;
        options.generation = 108;
        options.serial = "VT260801";
        VirtualUnit& unit = bus->AddUnit(options);
        DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
        config.InputFeature6 = 11;  // input 6: function 6, polarity 0
        config.ShiftLightRPM = 12500;
        config.OutputFeature1 = 3;
        config.OutputFeature2 = 1;
        config.PulsesPerTwoRevolutions = 2;
        config.BlipperMap[0][6] = 95;
        unit.SetConfigurationImage(EncodeConfigurationImage(config, ImageFormat::Long));
        frame->AutoConnect();
        const auto connected = std::chrono::steady_clock::now();
        notebook->SetSelection(0);
        ok = Shoot(frame, output + "/main-window-unit.png") && ok;
        // The chart six seconds after connect, with a 10 s span: it has
        // recorded from connect on, on whatever page was shown.
        notebook->SetSelection(notebook->FindPage(frame->FindWindow(XRCID("ID_PANEL7"))));
        dynamic_cast<wxChoice*>(frame->FindWindow(XRCID("ID_CHOICE_CHART_SPAN")))->SetSelection(0);
        frame->GetLiveChart()->SetSpan(10);
        RunEventsUntil(
            [&] { return std::chrono::steady_clock::now() - connected >= std::chrono::seconds(6); }, 10000);
        frame->GetLiveChart()->Hold(true);
        ok = Shoot(frame->GetLiveChart(), output + "/live-chart-6s.png") && ok;
        // The cursor two seconds before the hold.
        frame->GetLiveChart()->PlaceCursor(frame->GetLiveChart()->Window().right - 2000);
        ok = Shoot(frame->GetLiveChart(), output + "/live-chart-cursor.png") && ok;
        frame->GetLiveChart()->PlaceCursor(std::nullopt);
        frame->GetLiveChart()->Hold(false);
        for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
            if (FileName(notebook->GetPageText(page)) == "blipper") {
                notebook->SetSelection(page);
                ok = Shoot(frame, output + "/blipper-map-unit.png") && ok;
            }
        }
        // The heat-map maps of a tuned configuration (in the editors only),
        // with the cell of the engine's moment in third gear outlined.
        DeviceConfiguration tuned = config;
        for (int gear = 0; gear < kMapRows; ++gear) {
            for (int cell = 0; cell < kMapCells; ++cell) {
                tuned.ShifterMap[gear][cell] = cell < 2 ? 0 : std::max(30, 130 - 6 * cell - 5 * gear);
                tuned.BlipperMap[gear][cell] = cell < 3 ? 0 : std::min(220, 50 + 10 * cell + 6 * gear);
            }
        }
        frame->ShowConfiguration(tuned);
        for (uint64_t t = 0; t < 24000; t += 10) {
            if (LiveEngine::Gear(t) == 3 && LiveEngine::Rpm(t) >= 8200 && LiveEngine::Rpm(t) <= 8400) {
                unit.HoldEngineAt(t);
                break;
            }
        }
        for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
            const std::string name = FileName(notebook->GetPageText(page));
            if (name == "shifter" || name == "blipper") {
                notebook->SetSelection(page);
                RunEventsFor(400);
                ok = Shoot(frame, output + "/heat-map-" + name + "-live.png") && ok;
            }
        }
        unit.HoldEngineAt(std::nullopt);

        // The gear calibration by engine and wheel speed (generation 107 on).
        for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
            if (FileName(notebook->GetPageText(page)) == "gear-detection") {
                notebook->SetSelection(page);
                auto* method = dynamic_cast<wxRadioBox*>(frame->FindWindow(XRCID("ID_RBOX_GEAR_DETECTION")));
                method->SetSelection(1);
                wxCommandEvent changed(wxEVT_RADIOBOX, method->GetId());
                changed.SetInt(1);
                changed.SetEventObject(method);
                method->GetEventHandler()->ProcessEvent(changed);
                ok = Shoot(frame, output + "/gear-rpm-speed.png") && ok;
            }
        }
        // The history after a few edits that a Read replaced, and Compare
        // of the edited editors with the unit.
        {
            auto* shifter = dynamic_cast<wxGrid*>(frame->FindWindow(XRCID("ID_GRID3")));
            auto* blipper = dynamic_cast<wxGrid*>(frame->FindWindow(XRCID("ID_GRID2")));
            auto* tpsMin = dynamic_cast<wxSpinCtrl*>(frame->FindWindow(XRCID("ID_SPINCTRL17")));
            for (int row = 6; row < 10; ++row)
                shifter->SetCellValue(row, 2, "45");
            tpsMin->SetValue(tpsMin->GetValue() + 50);
            wxCommandEvent read(wxEVT_MENU, XRCID("idReadConfiguration"));
            frame->ProcessWindowEvent(read);
            RunEventsFor(300);
            blipper->SetCellValue(5, 0, "110");
            blipper->SetCellValue(6, 0, "115");
            shifter->SetCellValue(3, 0, "58");
            frame->GetSession().History().Flush();
            notebook->SetSelection(0);
            auto* historyWindow = new HistoryWindow(*frame, frame->GetEditorContent());
            historyWindow->GetList()->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            historyWindow->Move(40, 80);
            historyWindow->Show();
            ok = Shoot(historyWindow, output + "/history-window.png") && ok;
            historyWindow->Destroy();
            for (size_t page = 0; page < notebook->GetPageCount(); ++page)
                if (FileName(notebook->GetPageText(page)) == "blipper")
                    notebook->SetSelection(page);
            auto* compare = new CompareWindow(*frame, frame->GetEditorContent(), frame->GetPages(),
                                              frame->GetConnection());
            compare->GetSource()->SetSelection(1);
            compare->CompareWithUnit();
            compare->Move(frame->GetScreenRect().GetRight() - compare->GetSize().x - 20, 120);
            compare->Show();
            ok = Shoot(compare, output + "/compare-window.png") && ok;
            // The differing cells marked in the main window's map.
            ok = Shoot(frame, output + "/compare-marked-cells.png") && ok;
            compare->Destroy();
        }
        // Watching the engine: the chart after ten seconds of the unit's
        // ride, then a replay of the sample log shown whole.
        notebook->SetSelection(notebook->FindPage(frame->FindWindow(XRCID("ID_PANEL7"))));
        dynamic_cast<wxChoice*>(frame->FindWindow(XRCID("ID_CHOICE_CHART_SPAN")))->SetSelection(0);
        frame->GetLiveChart()->SetSpan(10);
        RunEventsFor(10000);
        ok = Shoot(frame, output + "/live-chart.png") && ok;
        frame->GetReplay().Open(VANTREL_SAMPLE_LOG);
        frame->GetReplay().SeekTo(12300);
        frame->GetReplay().ShowWhole(true);
        dynamic_cast<wxCheckBox*>(frame->FindWindow(XRCID("ID_CHECKBOX_REPLAY_WHOLE")))->SetValue(true);
        ok = Shoot(frame, output + "/replay.png") && ok;
        frame->GetReplay().Close();
        // The connection dialog as it lists three units.
        auto* dialog = new ConnectionDialog(frame, wxID_ANY);
        dialog->ClearDeviceList();
        dialog->AddDevice("Vantrel", "VT260801", "1.08", "USB 1:1.2", 0);
        dialog->AddDevice("Vantrel", "VT260802", "1.05", "USB 1:2.3", 1);
        dialog->AddDevice("Vantrel", "VT260803", "bootloader 1.01", "USB 1:3.4", 2);
        dialog->Show();
        ok = Shoot(dialog, output + "/connection-dialog.png") && ok;
        dialog->Destroy();
        bus->Unplug(unit);
        frame->AutoConnect();
    } else {
        std::fprintf(stderr, "no virtual bus (run under umockdev-wrapper): unit pictures skipped\n");
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1][0] == '/' ? argv[1] : std::string(getenv("PWD")) + "/" + argv[1];
    AppRunOptions options;
    options.resourceFolder = VANTREL_GUI_DIR;
    options.homePrefix = "vantrel-shots";
    options.dataHome = true;
    options.requireBus = false;
    options.settings = [](UserSettings& settings) {
        // Every page, the FFT page included; the normal toolbar.
        settings.Write(kShowFftFlag, true);
        settings.Write(kTabletModeFlag, false);
    };
    return RunApp(argv[0], options, [&] { return ShootAll(AppBus(), MainWindow(), output); });
}
