// Frames that build their notebook pages when first shown, as the program
// does: what start-up builds, records shown and collected while pages are
// missing, a refusal that needs a control of a missing page, and the live
// poll while the monitor page is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <wx/choice.h>
#include <wx/fileconf.h>
#include <wx/grid.h>
#include <wx/notebook.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "config/SettingsKeys.h"
#include "gui/NotebookPages.h"
#include "gui/editors/EditorUndo.h"
#include "gui/editors/MapHeatLegend.h"
#include "gui/history/CompareWindow.h"
#include "gui/live/LiveChart.h"

namespace {

// A frame of its own whose pages come on demand; the main window stays.
class PagesFrame : public OnVirtualBus {
protected:
    void SetUpOnBus() override
    {
        PagesOnDemand onDemand;
        own = new VTX_GUIFrame(nullptr);
        own->Show();
        Pump();
    }
    void TearDown() override
    {
        if (own) {
            ModalAnswerer quiet;
            own->Destroy();
            Pump();
        }
        OnVirtualBus::TearDown();
    }
    void Select(const char* pageName)
    {
        auto* book = Ctrl<wxNotebook>(own, "ID_NOTEBOOK1");
        book->SetSelection(static_cast<size_t>(book->FindPage(own->FindWindow(XRCID(pageName)))));
        Pump();
    }
    void SelectEveryPage()
    {
        auto* book = Ctrl<wxNotebook>(own, "ID_NOTEBOOK1");
        for (size_t page = 0; page < book->GetPageCount(); ++page)
            book->SetSelection(page);
        book->SetSelection(0);
        Pump();
    }
    bool Built(const char* pageName) const
    {
        const std::vector<wxString> unbuilt = own->GetPages().UnbuiltPages();
        return std::find(unbuilt.begin(), unbuilt.end(), pageName) == unbuilt.end();
    }
    VTX_GUIFrame* own = nullptr;
};

// Values of every page away from the defaults, all valid.
DeviceConfiguration EditedRecord()
{
    DeviceConfiguration record = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    record.InputFeature3 = 4;
    record.OutputFeature2 = 2;
    record.ShiftLightRPM = 9000;
    record.DelayBetweenShifting = 120;
    record.DeltaT = 7;
    record.DelayBetweenBlipping = 80;
    record.TPSMinVoltage = 700;
    record.TPSMaxVoltage = 4300;
    record.NumOfSpeedPulses = 6;
    record.WheelCircumference = 1850;
    record.Gear3Voltage = 2222;
    record.WarmupActiveTime = 300;
    record.WarmUpPeriod = 1100;
    record.WarmupMaxRPM = 6000;
    record.BlipperMap[0][4] = 33;
    record.ShifterMap[0][6] = 44;
    return record;
}

}  // namespace

TEST_F(PagesFrame, StartUpBuildsOnlyTheShownPage)
{
    EXPECT_TRUE(own->IsLayoutComplete());
    EXPECT_EQ(own->GetPages().UnbuiltPages(),
              (std::vector<wxString>{"ID_PANEL2", "ID_PANEL3", "ID_PANEL4", "ID_PANEL5", "ID_PANEL6",
                                     "ID_PANEL7", "ID_PNL_FFT"}));
    EXPECT_NE(own->FindWindow(XRCID("ID_CHOICE1")), nullptr);
    EXPECT_EQ(own->FindWindow(XRCID("ID_GRID2")), nullptr);
    EXPECT_EQ(own->FindWindow(XRCID("GEAR_VOLTAGE_SPN_1")), nullptr);

    // Each page is built when it is shown, with the gear panels on theirs.
    Select("ID_PANEL5");
    EXPECT_TRUE(Built("ID_PANEL5"));
    EXPECT_NE(own->FindWindow(XRCID("GEAR_VOLTAGE_SPN_1")), nullptr);
    EXPECT_FALSE(Built("ID_PANEL4"));
}

TEST_F(PagesFrame, RecordShownBeforeItsPagesExistReachesThem)
{
    const DeviceConfiguration record = EditedRecord();
    own->ShowConfiguration(record);
    own->RefreshControls();
    EXPECT_TRUE(own->CollectConfiguration() == record) << "collected with six pages missing";

    Select("ID_PANEL4");
    EXPECT_EQ(Ctrl<wxSpinCtrl>(own, "ID_SPINCTRL17")->GetValue(), 700);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(own, "ID_WHEEL_CIRCUMFERENCE")->GetValue(), 1850);
    EXPECT_EQ(Ctrl<wxTextCtrl>(own, "ID_TEXTCTRL12")->GetValue(),
              wxString::Format("%d", Ctrl<wxSpinCtrl>(own, "ID_SPINCTRL18")->GetValue()));
    EXPECT_TRUE(own->CollectConfiguration() == record) << "collected with page 4 built";

    // The map's legend, added when its page is built, sits beside the grid.
    Select("ID_PANEL3");
    auto* blipper = Ctrl<wxWindow>(own, "ID_GRID2");
    wxWindow* legend = nullptr;
    for (wxWindow* sibling : blipper->GetParent()->GetChildren())
        if (dynamic_cast<MapHeatLegend*>(sibling))
            legend = sibling;
    ASSERT_NE(legend, nullptr);
    EXPECT_GT(legend->GetScreenRect().GetLeft(), blipper->GetScreenRect().GetRight())
        << "legend at x " << legend->GetScreenRect().GetLeft();

    SelectEveryPage();
    EXPECT_TRUE(own->GetPages().UnbuiltPages() == std::vector<wxString>{"ID_PNL_FFT"});
    EXPECT_EQ(Ctrl<wxSpinCtrl>(own, "GEAR_VOLTAGE_SPN_3")->GetValue(), 2222);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(own, "ID_SPINCTRL15")->GetValue(), 800);
    EXPECT_TRUE(own->CollectConfiguration() == record) << "collected with every page built";
}

TEST_F(PagesFrame, RefusalOnAMissingPageBuildsItAndFocusesTheControl)
{
    DeviceConfiguration record = EditedRecord();
    record.TPSMaxVoltage = record.TPSMinVoltage;
    own->ShowConfiguration(record);
    EXPECT_FALSE(own->ValidateControls());
    ASSERT_FALSE(Built("ID_PANEL4"));

    ModalAnswerer answers(wxID_OK);
    RunMenuCommand(own, "idSaveAs");
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.shown[0].message, "Invallid settings, please check it first");
    EXPECT_TRUE(Built("ID_PANEL4"));
    auto* tpsMax = Ctrl<wxSpinCtrl>(own, "ID_SPINCTRL11");
    ASSERT_FALSE(own->GetInvalidControls().empty());
    EXPECT_EQ(own->GetInvalidControls().front(), tpsMax);
    EXPECT_EQ(tpsMax->GetBackgroundColour(), *wxRED);
}

TEST_F(PagesFrame, LivePollRunsWhileTheMonitorPageIsMissing)
{
    VirtualUnit& unit = PlugUnit("PG000001");
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.PulsesPerTwoRevolutions = 1;
    unit.SetConfigurationImage(EncodeConfigurationImage(config, ImageFormat::Long));
    unit.SetFixedReport(
        {0x39, 0x47, 0xE8, 0x03, 58, 57, 100, 0, 23, 128, 1, 0, 0x2A, 0x05, 9, 1, 57, 0, 160});
    {
        ModalAnswerer answers(wxID_NO);
        own->AutoConnect();
        Pump();
    }
    ASSERT_FALSE(IsSimulated(own));
    ASSERT_TRUE(own->IsLiveTimerRunning());
    RunEventsFor(1000);
    size_t reads = 0;
    for (const RequestRecord& record : unit.RequestLog())
        reads += record.kind == RequestRecord::Kind::Interrupt ? 1 : 0;
    EXPECT_GE(reads, 8u) << "the poll goes on";
    EXPECT_EQ(own->GetDeviceErrorCount(), 0);
    EXPECT_FALSE(Built("ID_PANEL7"));

    // Shown, the page follows the next report (rpm 1234, shown as 1230).
    Select("ID_PANEL7");
    EXPECT_TRUE(RunEventsUntil([&] { return Ctrl<wxTextCtrl>(own, "ID_TEXTCTRL1")->GetValue() == "1230"; }));
    // The chart that joins the page when it is built sits below the gauges.
    ASSERT_NE(own->GetLiveChart(), nullptr);
    // Its first paint draws the samples polled while the page was missing.
    ASSERT_TRUE(RunEventsUntil([&] { return own->GetLiveChart()->Paints() > 0; }));
    EXPECT_GE(own->GetLiveChart()->SamplesDrawn(), reads);
    const wxRect chart = own->GetLiveChart()->GetScreenRect();
    const wxRect gauges = Ctrl<wxWindow>(own, "ID_GAUGE1")->GetScreenRect();
    EXPECT_GT(chart.GetTop(), gauges.GetBottom())
        << "chart at " << chart.GetTop() << ", gauges end at " << gauges.GetBottom();
    own->Destroy();
    own = nullptr;
    Pump();
}

// Building a page puts the model's values into its controls: that is no
// edit, neither in the status bar nor as an undo step that would drop the
// steps that can be redone.
TEST_F(PagesFrame, BuildingPagesIsNoEdit)
{
    const wxString unedited = own->GetStatusBar()->GetStatusText(0);
    EXPECT_FALSE(unedited.Contains("(edited)")) << unedited;
    ASSERT_TRUE(own->ReplaceEditorsContent(EditedRecord(), "Restore"));
    EXPECT_TRUE(own->HasUnsavedEdits());
    wxCommandProcessor& steps = own->GetEditorUndo().Processor();
    RunMenuCommand(own, "wxID_UNDO");
    EXPECT_FALSE(own->HasUnsavedEdits());
    EXPECT_EQ(own->GetStatusBar()->GetStatusText(0), unedited);

    SelectEveryPage();
    EXPECT_TRUE(own->GetPages().UnbuiltPages() == std::vector<wxString>{"ID_PNL_FFT"});
    EXPECT_FALSE(own->HasUnsavedEdits());
    EXPECT_EQ(own->GetStatusBar()->GetStatusText(0), unedited);
    EXPECT_TRUE(steps.CanRedo()) << "no step was taken";
    RunMenuCommand(own, "wxID_REDO");
    EXPECT_TRUE(own->CollectConfiguration() == EditedRecord());
}

namespace {

// The size a new frame opens with (its layout's, when no window size is
// saved) and its minimum size, which its layout gives it in any case.
struct FirstSize {
    wxSize size;
    wxSize minimum;
    std::vector<wxString> unbuilt;
    wxSize largestPage;  // device-independent pixels
};

FirstSize FirstSizeOfANewFrame()
{
    auto* frame = new VTX_GUIFrame(nullptr);
    frame->Show();
    Pump();
    FirstSize first{frame->GetSize(), frame->GetMinSize(), frame->GetPages().UnbuiltPages(), {}};
    // The FFT page counts too, also when the notebook does not show it.
    for (const char* page : {"ID_PANEL1", "ID_PANEL2", "ID_PANEL3", "ID_PANEL4", "ID_PANEL5", "ID_PANEL6",
                             "ID_PANEL7", "ID_PNL_FFT"})
        first.largestPage.IncTo(frame->ToDIP(frame->FindWindow(XRCID(page))->GetBestSize()));
    {
        ModalAnswerer quiet;
        frame->Destroy();
        Pump();
    }
    return first;
}

// A frame of its own, without saved window size, on the suite's bus.
class FirstWindow : public OnVirtualBus {};

}  // namespace

// The pages that are not built yet still count: the first window is as large
// as the whole notebook needs, so its tabs fit and no page grows it later.
TEST_F(FirstWindow, IsSizedForEveryPage)
{
    FirstSize everyPage;
    {
        PagesOnDemand atOnce(false);
        everyPage = FirstSizeOfANewFrame();
    }
    ASSERT_TRUE(everyPage.unbuilt.empty());
    const FirstSize onDemand = FirstSizeOfANewFrame();
    ASSERT_EQ(onDemand.unbuilt.size(), 7u);
    auto text = [](const wxSize& size) { return std::to_string(size.x) + "x" + std::to_string(size.y); };
    // The map grids' rpm labels, and so the largest page, are a few pixels
    // wider with another thousands separator ("10.000" in German).
    auto near = [](const wxSize& size, const wxSize& wanted) {
        return std::abs(size.x - wanted.x) <= 8 && std::abs(size.y - wanted.y) <= 8;
    };
    EXPECT_TRUE(near(onDemand.minimum, everyPage.minimum))
        << text(onDemand.minimum) << " instead of " << text(everyPage.minimum) << "; the largest page needs "
        << text(everyPage.largestPage) << " device-independent pixels";
    EXPECT_TRUE(near(onDemand.size, everyPage.size))
        << text(onDemand.size) << " instead of " << text(everyPage.size);
}

// Choices with the same items are measured once: each of them still has the
// size its items need, and grows with a longer item.
TEST_F(FirstWindow, ChoicesHaveTheSizeTheirItemsNeed)
{
    std::vector<wxChoice*> choices;
    std::function<void(wxWindow*)> collect = [&](wxWindow* window) {
        // Not the combo box, a choice of another handler (and of its own quirks).
        if (window->GetClassInfo() == wxCLASSINFO(wxChoice))
            choices.push_back(static_cast<wxChoice*>(window));
        for (wxWindow* child : window->GetChildren())
            collect(child);
    };
    collect(frame);
    ASSERT_GE(choices.size(), 15u);
    auto text = [](const wxSize& size) { return std::to_string(size.x) + "x" + std::to_string(size.y); };
    for (wxChoice* choice : choices) {
        const wxSize built = choice->GetBestSize();
        choice->InvalidateBestSize();
        EXPECT_EQ(text(built), text(choice->GetBestSize())) << choice->GetName();
        EXPECT_EQ(choice->GetMinSize(), wxDefaultSize) << choice->GetName();
    }
    wxChoice* first = choices.front();
    const int width = first->GetBestSize().x;
    const unsigned int added = first->Append("an item far longer than any item of the layout's lists");
    EXPECT_GT(first->GetBestSize().x, width) << first->GetName();
    first->Delete(added);
}

namespace {

// Compares with a file, then looks while the window is open.
class CompareWith : public wxExpectModalBase<CompareWindow, CompareWith> {
public:
    CompareWith(wxString path, std::function<void()> look) : path(std::move(path)), look(std::move(look)) {}

protected:
    int OnInvoked(CompareWindow* window) const override
    {
        EXPECT_TRUE(window->CompareWithFile(path));
        EXPECT_EQ(window->Differences().size(), 1u);
        look();
        return wxID_CANCEL;
    }

private:
    wxString path;
    std::function<void()> look;
};

}  // namespace

// Compare marks a differing cell of a map whose page was never shown: the
// page is built to carry the mark.
TEST_F(PagesFrame, CompareMarksAMapWhosePageWasNeverShown)
{
    DeviceConfiguration other = own->CollectConfiguration();
    other.ShifterMap[1][5] = other.ShifterMap[1][5] == 90 ? 100 : 90;
    const std::string folder = MakeTempFolder();
    const wxString path = wxString::FromUTF8(folder) + "/other.vtn";
    {
        std::unique_ptr<wxFileConfig> store = OpenSettingsFile(path);
        WriteAppVersion(*store);
        SaveSettingsKeys(*store, other, SettingsKeySet::Extended);
    }
    ASSERT_FALSE(Built("ID_PANEL2"));
    wxTEST_DIALOG(RunMenuCommand(own, "ID_MENU_COMPARE"), CompareWith(path, [this] {
                      auto* grid = dynamic_cast<wxGrid*>(own->FindWindow(XRCID("ID_GRID3")));
                      ASSERT_NE(grid, nullptr);
                      EXPECT_NE(grid->GetCellBackgroundColour(4, 1), grid->GetDefaultCellBackgroundColour());
                      EXPECT_EQ(grid->GetCellBackgroundColour(4, 2), grid->GetDefaultCellBackgroundColour());
                  }));
    std::system(("rm -rf '" + folder + "'").c_str());
}
