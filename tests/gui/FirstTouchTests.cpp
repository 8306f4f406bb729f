// The first thing a user does on a page of a window that has just opened,
// with no other page ever shown, through the X server: a click on the page's
// tab, then clicks and keys. It must keep the program running and end as the
// same input ends in a window whose every page was built at once.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "LogReplay.h"
#include "SpinCtrlStep.h"
#include "VTX_GUIMain.h"
#include "VantrelBase.h"
#include "XTestInput.h"
#include "config/SettingsKeys.h"

namespace {

// Found without building anything: the page was opened by its tab.
template <class T>
T* OnPage(VTX_GUIFrame* frame, const char* name)
{
    return dynamic_cast<T*>(frame->FindWindow(XRCID(name)));
}

wxPoint CellCentre(wxGrid* grid, int row, int col)
{
    const wxRect cell = grid->CellToRect(row, col);
    const wxPoint inWindow = grid->CalcScrolledPosition(cell.GetTopLeft());
    return grid->GetGridWindow()->ClientToScreen(inWindow + wxPoint(cell.width / 2, cell.height / 2));
}

// A click on the tab of the page named `page`.
void ClickTab(VTX_GUIFrame* frame, const char* page)
{
    auto* notebook = OnPage<wxNotebook>(frame, "ID_NOTEBOOK1");
    const int index = notebook->FindPage(frame->FindWindow(XRCID(page)));
    ASSERT_NE(index, wxNOT_FOUND) << page;
    for (int y = 2; y < 60; y += 4)
        for (int x = 2; x < notebook->GetSize().x; x += 4)
            if (notebook->HitTest(wxPoint(x, y)) == index) {
                xtest::Click(notebook->ClientToScreen(wxPoint(x + 6, y + 4)));
                ASSERT_TRUE(xtest::PumpUntil([&] { return notebook->GetSelection() == index; }, 1000))
                    << page;
                xtest::PumpFor(100);
                return;
            }
    FAIL() << "no tab found for " << page;
}

void TypeIntoCell(wxGrid* grid, int row, const char* text)
{
    xtest::Click(CellCentre(grid, row, 0));
    xtest::TypeText(text);
    xtest::PressKeys("Return");
    xtest::PumpUntil([grid] { return !grid->IsCellEditControlShown(); }, 1000);
}

wxString Cells(wxGrid* grid, std::initializer_list<int> rows)
{
    wxString text;
    for (int row : rows)
        text += (text.empty() ? "" : " ") + grid->GetCellValue(row, 0);
    return text;
}

// A click on the "+" button of a spin, which GTK draws at its right end.
wxString ClickPlus(VTX_GUIFrame* frame, const char* name)
{
    auto* spin = OnPage<wxSpinCtrl>(frame, name);
    if (!spin)
        return "no spin";
    auto* stepped = dynamic_cast<SpinCtrlStep*>(spin);
    const int expected = spin->GetValue() + (stepped ? stepped->GetStep() : 1);
    const wxRect rect = spin->GetScreenRect();
    xtest::Click(wxPoint(rect.GetRight() - rect.height / 2, rect.y + rect.height / 2));
    xtest::PumpUntil([&] { return spin->GetValue() == expected; }, 1000);
    return wxString::Format("%d", expected);
}

wxString SpinText(VTX_GUIFrame* frame, const char* name)
{
    auto* spin = OnPage<wxSpinCtrl>(frame, name);
    return spin ? wxString::Format("%d", spin->GetValue()) : wxString("no spin");
}

struct Touch {
    const char* what;
    const char* page;  // whose tab the user clicks first
    // The input on that page; it gives what the user should then see.
    std::function<wxString(VTX_GUIFrame*)> touch;
    std::function<wxString(VTX_GUIFrame*)> seen;
};

// A settings file whose shifter times are all 77 ms and shift light 8000 rpm.
wxString WriteSettingsFile(VTX_GUIFrame* frame)
{
    DeviceConfiguration record = frame->GetDevice()->GetDefaultConfiguration();
    for (auto& row : record.ShifterMap)
        for (int32_t& cell : row)
            cell = 77;
    record.ShiftLightRPM = 8000;
    const wxString path = wxString::FromUTF8(MakeTempFolder()) + "/first.vtn";
    {
        std::unique_ptr<wxFileConfig> store = OpenSettingsFile(path);
        WriteAppVersion(*store);
        SaveSettingsKeys(*store, record, SettingsKeySet::Extended);
    }
    return path;
}

const Touch kTouches[] = {
    {"a typed shifter cell, one refused", "ID_PANEL2",
     [](VTX_GUIFrame* frame) {
         auto* grid = OnPage<wxGrid>(frame, "ID_GRID3");
         const wxString before = grid->GetCellValue(3, 0);
         TypeIntoCell(grid, 3, "200");  // only the blipper takes 200 ms
         TypeIntoCell(grid, 2, "90");
         return "90 " + before;
     },
     [](VTX_GUIFrame* frame) {
         return Cells(OnPage<wxGrid>(frame, "ID_GRID3"), {2, 3});
     }},
    {"a typed blipper cell", "ID_PANEL3",
     [](VTX_GUIFrame* frame) {
         TypeIntoCell(OnPage<wxGrid>(frame, "ID_GRID2"), 2, "200");
         return wxString("200");
     },
     [](VTX_GUIFrame* frame) { return Cells(OnPage<wxGrid>(frame, "ID_GRID2"), {2}); }},
    {"fill down, copy and paste in the shifter map", "ID_PANEL2",
     [](VTX_GUIFrame* frame) {
         auto* grid = OnPage<wxGrid>(frame, "ID_GRID3");
         TypeIntoCell(grid, 2, "90");
         xtest::PressKeys("Up");
         xtest::PressKeys("Shift+Down");
         xtest::PressKeys("Shift+Down");
         xtest::PressKeys("Ctrl+D");
         xtest::PressKeys("Ctrl+C");
         xtest::PumpFor(100);
         xtest::Click(CellCentre(grid, 8, 0));
         xtest::PressKeys("Ctrl+V");
         xtest::PumpUntil([grid] { return grid->GetCellValue(10, 0) == "90"; }, 1000);
         return wxString("90 90 90 90 90 90");
     },
     [](VTX_GUIFrame* frame) {
         return Cells(OnPage<wxGrid>(frame, "ID_GRID3"), {2, 3, 4, 8, 9, 10});
     }},
    {"the arrow of a stepped spin on the inputs page", "ID_PANEL1",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "ID_SPINCTRL1"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL1"); }},
    {"the arrow of a spin on the shifter page", "ID_PANEL2",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "ID_SPINCTRL12"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL12"); }},
    {"the arrow of a spin on the blipper page", "ID_PANEL3",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "ID_SPINCTRL13"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL13"); }},
    {"the arrow of a spin on the throttle page", "ID_PANEL4",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "ID_SPINCTRL17"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL17"); }},
    {"the arrow of a gear voltage spin", "ID_PANEL5",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "GEAR_VOLTAGE_SPN_2"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "GEAR_VOLTAGE_SPN_2"); }},
    {"the arrow of a spin on the warm-up page", "ID_PANEL6",
     [](VTX_GUIFrame* frame) { return ClickPlus(frame, "ID_SPINCTRL16"); },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL16"); }},
    {"a shift light typed over the old one", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         xtest::Click(OnPage<wxWindow>(frame, "ID_SPINCTRL1"));
         xtest::PressKeys("Ctrl+A");
         xtest::TypeText("9500");
         xtest::PressKeys("Tab");
         xtest::PumpFor(150);
         return wxString("9500");
     },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL1"); }},
    {"the function of an input chosen from its list", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         auto* choice = OnPage<wxChoice>(frame, "ID_CHOICE1");
         const int before = choice->GetSelection();
         xtest::Click(choice);
         xtest::PumpFor(300);
         xtest::PressKeys("Down");
         xtest::PressKeys("Return");
         xtest::PumpUntil([&] { return choice->GetSelection() != before; }, 1000);
         return choice->GetString(static_cast<unsigned>(before + 1));
     },
     [](VTX_GUIFrame* frame) { return OnPage<wxChoice>(frame, "ID_CHOICE1")->GetStringSelection(); }},
    {"a file opened, undone and redone before its maps were shown", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         const wxString path = WriteSettingsFile(frame);
         wxTEST_DIALOG(xtest::PressKeys("Ctrl+O"), ExpectFile(path));
         xtest::PressKeys("Ctrl+Z");
         xtest::PressKeys("Ctrl+Y");
         xtest::PressKeys("Ctrl+Z");
         xtest::PressKeys("Ctrl+Y");
         xtest::PumpFor(100);
         ClickTab(frame, "ID_PANEL2");
         std::remove(path.fn_str());
         return wxString("77 77 8000");
     },
     [](VTX_GUIFrame* frame) {
         auto* grid = OnPage<wxGrid>(frame, "ID_GRID3");
         return (grid ? Cells(grid, {0, 14}) : wxString("no grid")) + " " + SpinText(frame, "ID_SPINCTRL1");
     }},
    {"a log opened before the live page was shown", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         wxTEST_DIALOG(RunMenuCommand(frame, "ID_MENU_OPEN_LOG"), ExpectFile(VANTREL_SAMPLE_LOG));
         ClickTab(frame, "ID_PANEL7");
         return wxString("1300 rpm, slider at 0 of a range, position 0:00.0 of the log's length");
     },
     [](VTX_GUIFrame* frame) {
         auto* rpm = OnPage<wxTextCtrl>(frame, "ID_TEXTCTRL1");
         auto* slider = OnPage<wxSlider>(frame, "ID_SLIDER_REPLAY");
         if (!rpm || !slider)
             return wxString("no live page");
         // The position text beside the slider.
         wxString position = "no position";
         for (wxWindow* child : slider->GetParent()->GetChildren())
             if (auto* text = dynamic_cast<wxStaticText*>(child); text && text->GetLabel().StartsWith("0:"))
                 position = text->GetLabel();
         return wxString::Format("%s rpm, slider at %d of %s, position %s", rpm->GetValue(),
                                 slider->GetValue(), slider->GetMax() > 1 ? "a range" : "nothing",
                                 position.StartsWith("0:00.0 / 0:00.0") ? "0:00.0 of nothing"
                                 : position.StartsWith("0:00.0 / ")     ? "0:00.0 of the log's length"
                                                                        : position);
     }},
};

class FirstTouch : public testing::TestWithParam<Touch> {
protected:
    struct Outcome {
        std::string expected, seen, undo;
        DeviceConfiguration record;
    };

    // A new window, its pages on demand or all at once, shown in front.
    Outcome Run(bool onDemand)
    {
        Outcome outcome;
        VTX_GUIFrame* frame = nullptr;
        {
            PagesOnDemand pages(onDemand);
            frame = new VTX_GUIFrame(nullptr);
        }
        EXPECT_TRUE(xtest::ShowAndActivate(frame));
        const Touch& touch = GetParam();
        ClickTab(frame, touch.page);
        outcome.expected = touch.touch(frame).utf8_string();
        outcome.seen = touch.seen(frame).utf8_string();
        outcome.undo = MenuItem(frame, "wxID_UNDO")->GetItemLabelText().utf8_string();
        outcome.record = frame->CollectConfiguration();
        frame->GetReplay().Close();
        delete frame;
        xtest::PumpFor(50);
        return outcome;
    }
};

TEST_P(FirstTouch, EndsAsInAWindowWithEveryPage)
{
    ASSERT_TRUE(xtest::Available());
    const Outcome first = Run(true);
    EXPECT_EQ(first.seen, first.expected);
    const Outcome everyPage = Run(false);
    EXPECT_EQ(everyPage.seen, everyPage.expected);
    EXPECT_EQ(first.seen, everyPage.seen);
    EXPECT_EQ(first.undo, everyPage.undo);
    EXPECT_TRUE(first.record == everyPage.record) << "the editors hold other values";
}

INSTANTIATE_TEST_SUITE_P(EachPage, FirstTouch, testing::ValuesIn(kTouches),
                         [](const testing::TestParamInfo<Touch>& info) {
                             std::string name;
                             bool upper = true;
                             for (const char* c = info.param.what; *c; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += upper ? static_cast<char>(std::toupper(*c)) : *c;
                                 upper = !std::isalnum(static_cast<unsigned char>(*c));
                             }
                             return name;
                         });

}  // namespace
