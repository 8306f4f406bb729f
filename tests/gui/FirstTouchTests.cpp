// The first thing a user does on a page of a window that has just opened,
// with no other page ever shown, through the X server: a click on the page's
// tab, then clicks and keys. It must keep the program running and end as the
// same input ends in a window whose every page was built at once.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "XTestInput.h"
#include "config/SettingsKeys.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/live/LogReplay.h"
#include "gui/widgets/SpinCtrlStep.h"

namespace {

// Found without building anything: the page was opened by its tab.
template <class T = wxWindow>
T* OnPage(VTX_GUIFrame* frame, const char* name)
{
    return dynamic_cast<T*>(frame->FindWindow(XRCID(name)));
}

void ClickTab(VTX_GUIFrame* frame, const char* page)
{
    auto* notebook = OnPage<wxNotebook>(frame, "ID_NOTEBOOK1");
    const int index = notebook->FindPage(OnPage(frame, page));
    for (int y = 2; y < 60; y += 4)
        for (int x = 2; x < notebook->GetSize().x; x += 4)
            if (notebook->HitTest(wxPoint(x, y)) == index) {
                xtest::Click(notebook->ClientToScreen(wxPoint(x + 6, y + 4)));
                ASSERT_TRUE(RunEventsUntil([&] { return notebook->GetSelection() == index; }, 1000)) << page;
                RunEventsFor(100);
                return;
            }
    FAIL() << "no tab for " << page;
}

wxString Cells(VTX_GUIFrame* frame, const char* grid, std::initializer_list<int> rows)
{
    wxString text;
    for (int row : rows)
        text += (text.empty() ? "" : " ") + OnPage<wxGrid>(frame, grid)->GetCellValue(row, 0);
    return text;
}

wxString SpinText(VTX_GUIFrame* frame, const char* name)
{
    return wxString::Format("%d", OnPage<wxSpinCtrl>(frame, name)->GetValue());
}

struct Touch {
    const char* what;
    const char* page;  // whose tab the user clicks first
    // The input on that page; it gives what the user should then see.
    std::function<wxString(VTX_GUIFrame*)> touch;
    std::function<wxString(VTX_GUIFrame*)> seen;
};

// A click on the "+" of a spin moves it by its step (a plain spin's is 1).
Touch SpinArrow(const char* what, const char* page, const char* spin)
{
    return {what, page,
            [spin](VTX_GUIFrame* frame) {
                auto* control = OnPage<wxSpinCtrl>(frame, spin);
                auto* stepped = dynamic_cast<SpinCtrlStep*>(control);
                const int expected = control->GetValue() + (stepped ? stepped->GetStep() : 1);
                xtest::ClickSpinArrow(control, 1);
                RunEventsUntil([&] { return control->GetValue() == expected; }, 1000);
                return wxString::Format("%d", expected);
            },
            [spin](VTX_GUIFrame* frame) { return SpinText(frame, spin); }};
}

const Touch kTouches[] = {
    {"typed shifter cells, those only the blipper takes or none refused", "ID_PANEL2",
     [](VTX_GUIFrame* frame) {
         auto* grid = OnPage<wxGrid>(frame, "ID_GRID3");
         const wxString before = grid->GetCellValue(3, 0);
         xtest::TypeIntoCell(grid, 3, 0, "200");
         xtest::TypeIntoCell(grid, 4, 0, "25");
         xtest::TypeIntoCell(grid, 2, 0, "90");
         xtest::TypeIntoCell(grid, 5, 0, "0");
         return "90 " + before + " " + before + " 0";
     },
     [](VTX_GUIFrame* frame) {
         return Cells(frame, "ID_GRID3", {2, 3, 4, 5});
     }},
    {"a typed blipper cell", "ID_PANEL3",
     [](VTX_GUIFrame* frame) {
         xtest::TypeIntoCell(OnPage<wxGrid>(frame, "ID_GRID2"), 2, 0, "200");
         return wxString("200");
     },
     [](VTX_GUIFrame* frame) { return Cells(frame, "ID_GRID2", {2}); }},
    {"fill down, copy and paste in the shifter map", "ID_PANEL2",
     [](VTX_GUIFrame* frame) {
         auto* grid = OnPage<wxGrid>(frame, "ID_GRID3");
         xtest::TypeIntoCell(grid, 2, 0, "90");
         for (const char* keys : {"Up", "Shift+Down", "Shift+Down", "Ctrl+D", "Ctrl+C"})
             xtest::PressKeys(keys);
         xtest::Click(xtest::CellCentre(grid, 8, 0));
         xtest::PressKeys("Ctrl+V");
         RunEventsUntil([grid] { return grid->GetCellValue(10, 0) == "90"; }, 1000);
         return wxString("90 90 90 90 90 90");
     },
     [](VTX_GUIFrame* frame) {
         return Cells(frame, "ID_GRID3", {2, 3, 4, 8, 9, 10});
     }},
    SpinArrow("the arrow of a stepped spin on the inputs page", "ID_PANEL1", "ID_SPINCTRL1"),
    SpinArrow("the arrow of a spin on the shifter page", "ID_PANEL2", "ID_SPINCTRL12"),
    SpinArrow("the arrow of a spin on the blipper page", "ID_PANEL3", "ID_SPINCTRL13"),
    SpinArrow("the arrow of a spin on the throttle page", "ID_PANEL4", "ID_SPINCTRL17"),
    SpinArrow("the arrow of a gear voltage spin", "ID_PANEL5", "GEAR_VOLTAGE_SPN_2"),
    SpinArrow("the arrow of a spin on the warm-up page", "ID_PANEL6", "ID_SPINCTRL16"),
    {"a shift light typed over the old one", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         xtest::Click(OnPage(frame, "ID_SPINCTRL1"));
         xtest::PressKeys("Ctrl+A");
         xtest::TypeText("9500");
         xtest::PressKeys("Tab");
         RunEventsFor(150);
         return wxString("9500");
     },
     [](VTX_GUIFrame* frame) { return SpinText(frame, "ID_SPINCTRL1"); }},
    {"the function of an input chosen from its list", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         auto* choice = OnPage<wxChoice>(frame, "ID_CHOICE1");
         const int before = choice->GetSelection();
         xtest::Click(choice);
         RunEventsFor(300);
         xtest::PressKeys("Down");
         xtest::PressKeys("Return");
         RunEventsUntil([&] { return choice->GetSelection() != before; }, 1000);
         return choice->GetString(static_cast<unsigned>(before + 1));
     },
     [](VTX_GUIFrame* frame) { return OnPage<wxChoice>(frame, "ID_CHOICE1")->GetStringSelection(); }},
    {"a file opened, undone and redone before its maps were shown", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         DeviceConfiguration record = frame->GetDevice()->GetDefaultConfiguration();
         for (auto& row : record.ShifterMap)
             std::fill(std::begin(row), std::end(row), 77);
         record.ShiftLightRPM = 8000;
         const std::string folder = MakeTempFolder();
         const wxString path = wxString::FromUTF8(folder) + "/first.vtn";
         SaveSettingsKeys(*OpenSettingsFile(path), record, SettingsKeySet::Extended);
         wxTEST_DIALOG(xtest::PressKeys("Ctrl+O"), ExpectFile(path));
         for (const char* keys : {"Ctrl+Z", "Ctrl+Y", "Ctrl+Z", "Ctrl+Y"})
             xtest::PressKeys(keys);
         ClickTab(frame, "ID_PANEL2");
         std::system(("rm -rf '" + folder + "'").c_str());
         return wxString("77 77 8000");
     },
     [](VTX_GUIFrame* frame) {
         return Cells(frame, "ID_GRID3", {0, 14}) + " " + SpinText(frame, "ID_SPINCTRL1");
     }},
    {"a log opened before the live page was shown", "ID_PANEL1",
     [](VTX_GUIFrame* frame) {
         wxTEST_DIALOG(RunMenuCommand(frame, "ID_MENU_OPEN_LOG"), ExpectFile(VANTREL_SAMPLE_LOG));
         ClickTab(frame, "ID_PANEL7");
         return wxString("1300 rpm, slider 0 of a range, position 0:00.0 of the whole");
     },
     [](VTX_GUIFrame* frame) {
         auto* slider = OnPage<wxSlider>(frame, "ID_SLIDER_REPLAY");
         wxString position;
         for (wxWindow* child : slider->GetParent()->GetChildren())
             if (auto* text = dynamic_cast<wxStaticText*>(child); text && text->GetLabel().StartsWith("0:"))
                 position = text->GetLabel();
         return wxString::Format("%s rpm, slider %d of %s, position %s",
                                 OnPage<wxTextCtrl>(frame, "ID_TEXTCTRL1")->GetValue(), slider->GetValue(),
                                 slider->GetMax() > 1 ? "a range" : "none",
                                 position.StartsWith("0:00.0 / 0:00.0") ? "0:00.0 of nothing"
                                 : position.StartsWith("0:00.0 / ")     ? "0:00.0 of the whole"
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
        VTX_GUIFrame* frame = nullptr;
        {
            PagesOnDemand pages(onDemand);
            frame = new VTX_GUIFrame(nullptr);
        }
        EXPECT_TRUE(xtest::ShowAndActivate(frame));
        ClickTab(frame, GetParam().page);
        Outcome outcome;
        outcome.expected = GetParam().touch(frame).utf8_string();
        outcome.seen = GetParam().seen(frame).utf8_string();
        outcome.undo = MenuItem(frame, "wxID_UNDO")->GetItemLabelText().utf8_string();
        outcome.record = frame->CollectConfiguration();
        frame->GetReplay().Close();
        delete frame;
        RunEventsFor(50);
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
    EXPECT_EQ(first.undo, everyPage.undo);
    EXPECT_TRUE(first.record == everyPage.record) << "the editors hold other values";
}

INSTANTIATE_TEST_SUITE_P(EachPage, FirstTouch, testing::ValuesIn(kTouches),
                         [](const testing::TestParamInfo<Touch>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name +=
                                         c == info.param.what || c[-1] == ' '
                                             ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c)))
                                             : *c;
                             return name;
                         });

}  // namespace
