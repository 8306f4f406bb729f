// The layouts in the built resource.xrs, loaded as the program loads them,
// provide every object, name and class that the windows look up.
#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "WidgetTestSupport.h"
#include "editor/LiveReadout.h"
#include "gui/widgets/MyGrid.h"
#include "gui/widgets/SpinCtrlStep.h"
#include "gui/widgets/wxStateLed.h"
#include "gui/widgets/wxStateLedXmlHandler.h"

namespace {

struct Named {
    std::string name;
    wxClassInfo* kind;
};

std::vector<Named> Numbered(const char* prefix, int first, int last, wxClassInfo* kind)
{
    std::vector<Named> names;
    for (int i = first; i <= last; ++i) {
        names.push_back({prefix + std::to_string(i), kind});
    }
    return names;
}

// Every control of the main window the program looks up by name, with its class.
std::vector<Named> MainWindowNames()
{
    std::vector<Named> names = {
        {"ID_NOTEBOOK1", CLASSINFO(wxNotebook)},
        {"ID_PNL_FFT", CLASSINFO(wxPanel)},
        {"ID_SPINCTRL2", CLASSINFO(wxSpinCtrl)},
        {"ID_SPINCTRL10", CLASSINFO(wxSpinCtrl)},
        {"ID_SPINCTRL18", CLASSINFO(wxSpinCtrl)},
        {"ID_RPM_PULSES", CLASSINFO(wxChoice)},
        {"ID_SPEED_PULSES", CLASSINFO(wxSpinCtrl)},
        {"ID_WHEEL_CIRCUMFERENCE", CLASSINFO(wxSpinCtrl)},
        {"ID_GRID1", CLASSINFO(wxGrid)},
        {"ID_GRID2", CLASSINFO(MyGrid)},
        {"ID_GRID3", CLASSINFO(MyGrid)},
        {"ID_COMBOBOX1", CLASSINFO(wxComboBox)},
        {"ID_CHECKBOX1", CLASSINFO(wxCheckBox)},
        {"ID_RADIOBOX1", CLASSINFO(wxRadioBox)},
        {"ID_RBOX_GEAR_DETECTION", CLASSINFO(wxRadioBox)},
        {"ID_BUTTON10", CLASSINFO(wxButton)},
        {"ID_BUTTON11", CLASSINFO(wxButton)},
        {"ID_BUTTON12", CLASSINFO(wxButton)},
    };
    // The stepped spins of the window (steps 10, 50 and 100).
    for (const char* stepped : {"ID_SPINCTRL1", "ID_SPINCTRL11", "ID_SPINCTRL12", "ID_SPINCTRL13",
                                "ID_SPINCTRL14", "ID_SPINCTRL15", "ID_SPINCTRL16", "ID_SPINCTRL17"}) {
        names.push_back({stepped, CLASSINFO(SpinCtrlStep)});
    }
    for (const char* led : {"ID_STATELED_IN_SHIFTER", "ID_STATELED_IN_BLIPPER", "ID_STATELED_IN_WARMUP",
                            "ID_STATELED_IN_PIT", "ID_STATELED_IN_CLUTCH", "ID_STATELED_IN_DEACTIVATION",
                            "ID_STATELED_OUT_IGNITION", "ID_STATELED_OUT_INJECTION",
                            "ID_STATELED_OUT_BLIPPER", "ID_STATELED_OUT_RPM_LED", "ID_STATELED10"}) {
        names.push_back({led, CLASSINFO(wxStateLed)});
    }
    for (auto group :
         {Numbered("ID_CHOICE", 1, 17, CLASSINFO(wxChoice)),
          Numbered("ID_TEXTCTRL", 1, 12, CLASSINFO(wxTextCtrl)),
          Numbered("ID_GAUGE", 1, 4, CLASSINFO(wxGauge)), Numbered("ID_PANEL", 1, 7, CLASSINFO(wxPanel)),
          Numbered("ID_STATICTEXT", 1, 53, CLASSINFO(wxStaticText))}) {
        names.insert(names.end(), group.begin(), group.end());
    }
    return names;
}

// Collects the errors and warnings the loader reports (the program would show
// each one in a message box).
class LoaderLog : public wxLog {
public:
    std::vector<std::string> problems;

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Warning) {
            problems.push_back(message.ToStdString());
        }
    }
};

class Layouts : public testing::Test {
protected:
    void SetUp() override
    {
        previousLog = wxLog::SetActiveTarget(&log);
        resource = std::make_unique<wxXmlResource>();
        resource->InitAllHandlers();
        resource->AddHandler(new wxStateLedXmlHandler);
        // The program's order; each file must load on its own.
        for (const char* file : {"ConnectionDialog.xrc", "FwUpdateDialog.xrc", "VTX_GUIframe.xrc",
                                 "GearVoltagePanel.xrc", "GearRpmSpeedPanel.xrc"}) {
            ASSERT_TRUE(resource->Load(wxString("resource.xrs#zip:") + file)) << file;
        }
    }

    template <typename T>
    static T* Find(wxWindow& parent, const std::string& name)
    {
        return wxDynamicCast(parent.FindWindow(XRCID(name.c_str())), T);
    }

    void TearDown() override
    {
        wxLog::SetActiveTarget(previousLog);
        for (const std::string& problem : log.problems) {
            ADD_FAILURE() << "layout problem: " << problem;
        }
    }

    LoaderLog log;
    wxLog* previousLog = nullptr;
    std::unique_ptr<wxXmlResource> resource;
};

// The controls, by name and class, and the menu commands; the items of the
// lists that are no editor control (the editor controls' items and ranges
// follow the binding table: tests/gui/EditorTests.cpp, whose ranges lie
// inside a record's: tests/editor).
TEST_F(Layouts, MainWindowHasEveryNamedControlAndCommand)
{
    auto* frame = new wxFrame;
    ASSERT_TRUE(resource->LoadFrame(frame, nullptr, "VTX_GUIFrame"));
    for (const Named& named : MainWindowNames()) {
        wxWindow* window = frame->FindWindow(XRCID(named.name.c_str()));
        ASSERT_NE(window, nullptr) << named.name << " is missing";
        EXPECT_TRUE(window->IsKindOf(named.kind))
            << named.name << " is a " << window->GetClassInfo()->GetClassName() << ", not a "
            << named.kind->GetClassName();
    }
    // The gear indicator has an item for every gear item; the FFT item index
    // goes to the unit as a mode, and 3 is the warm-up mode.
    EXPECT_EQ(Find<wxComboBox>(*frame, "ID_COMBOBOX1")->GetCount(), kLastGearItem + 1);
    EXPECT_GE(Find<wxRadioBox>(*frame, "ID_RADIOBOX1")->GetCount(), 2u);
    EXPECT_LE(Find<wxRadioBox>(*frame, "ID_RADIOBOX1")->GetCount(), 3u);
    // Item order of the pulses choice: 4, 2, 1.
    auto* pulses = Find<wxChoice>(*frame, "ID_RPM_PULSES");
    for (const auto& [item, text] : {std::pair{0u, "4"}, {1u, "2"}, {2u, "1"}})
        EXPECT_TRUE(pulses->GetString(item).StartsWith(text)) << item;

    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    for (const char* name :
         {"idNew", "idOpen", "idSaveAs", "idMenuQuit", "idCopy", "idPaste", "idFillDown", "ID_MENU_HISTORY",
          "ID_MENU_COMPARE", "idReadConfiguration", "idWriteConfiguration", "idLockConfiguration",
          "idFirmwareUpdate", "idConnect", "idTabletMode", "idConfirmWriting", "idMenuAbout"}) {
        EXPECT_NE(bar->FindItem(XRCID(name)), nullptr) << name;
    }
    for (const char* name : {"idTabletMode", "idConfirmWriting"}) {
        wxMenuItem* item = bar->FindItem(XRCID(name));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->IsCheckable()) << name;
    }
    frame->Destroy();
}

TEST_F(Layouts, NotebookPagesAndTheGearPageSizer)
{
    auto* frame = new wxFrame;
    ASSERT_TRUE(resource->LoadFrame(frame, nullptr, "VTX_GUIFrame"));
    auto* notebook = Find<wxNotebook>(*frame, "ID_NOTEBOOK1");
    ASSERT_NE(notebook, nullptr);
    for (const char* page : {"ID_PANEL1", "ID_PANEL2", "ID_PANEL3", "ID_PANEL4", "ID_PANEL5", "ID_PANEL6",
                             "ID_PANEL7", "ID_PNL_FFT"}) {
        wxWindow* window = frame->FindWindow(XRCID(page));
        ASSERT_NE(window, nullptr) << page;
        EXPECT_NE(notebook->FindPage(window), wxNOT_FOUND) << page << " is not a page";
    }
    // The window adds the calibration panels to the sizer of the page that holds the radio box.
    auto* gearDetection = Find<wxRadioBox>(*frame, "ID_RBOX_GEAR_DETECTION");
    ASSERT_NE(gearDetection, nullptr);
    EXPECT_NE(notebook->FindPage(gearDetection->GetParent()), wxNOT_FOUND);
    EXPECT_NE(gearDetection->GetParent()->GetSizer(), nullptr);
    frame->Destroy();
}

TEST_F(Layouts, LabelsSitBesideTheControlsTheyName)
{
    auto* frame = new wxFrame;
    ASSERT_TRUE(resource->LoadFrame(frame, nullptr, "VTX_GUIFrame"));
    // label, the control it belongs to, and whether the label comes before (true) or after it.
    const struct {
        const char* label;
        const char* control;
        bool before;
    } pairs[] = {{"ID_STATICTEXT35", "ID_CHOICE8", true},
                 {"ID_STATICTEXT36", "ID_CHOICE9", true},
                 {"ID_STATICTEXT37", "ID_CHOICE10", true},
                 {"ID_STATICTEXT45", "ID_CHOICE12", true},
                 {"ID_STATICTEXT47", "ID_CHOICE14", true},
                 {"ID_STATICTEXT49", "ID_CHOICE16", true},
                 {"ID_STATICTEXT31", "ID_STATELED_IN_BLIPPER", false}};
    for (const auto& pair : pairs) {
        wxWindow* label = frame->FindWindow(XRCID(pair.label));
        wxWindow* control = frame->FindWindow(XRCID(pair.control));
        ASSERT_NE(label, nullptr) << pair.label;
        ASSERT_NE(control, nullptr) << pair.control;
        wxSizer* sizer = control->GetContainingSizer();
        ASSERT_NE(sizer, nullptr);
        ASSERT_EQ(label->GetContainingSizer(), sizer) << pair.label;
        const wxSizerItemList& items = sizer->GetChildren();
        int labelIndex = -1;
        int controlIndex = -1;
        int index = 0;
        for (const wxSizerItem* item : items) {
            if (item->GetWindow() == label) {
                labelIndex = index;
            }
            if (item->GetWindow() == control) {
                controlIndex = index;
            }
            ++index;
        }
        EXPECT_EQ(labelIndex + (pair.before ? 1 : -1), controlIndex) << pair.label << " / " << pair.control;
    }
    frame->Destroy();
}

TEST_F(Layouts, DialogsAndPanelsHaveTheirControls)
{
    TestFrame parent;
    auto* connection = resource->LoadDialog(parent.get(), "ConnectionDialog");
    ASSERT_NE(connection, nullptr);
    auto* list = Find<wxListCtrl>(*connection, "ID_LISTCTRL1");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->InReportView());
    EXPECT_NE(Find<wxButton>(*connection, "ID_BTN_REFRESH"), nullptr);
    EXPECT_NE(Find<wxStaticText>(*connection, "ID_STATICTEXT1"), nullptr);
    EXPECT_NE(wxDynamicCast(connection->FindWindow(wxID_OK), wxButton), nullptr);
    EXPECT_NE(wxDynamicCast(connection->FindWindow(wxID_CANCEL), wxButton), nullptr);
    connection->Destroy();

    auto* update = resource->LoadDialog(parent.get(), "FwUpdateDialog");
    ASSERT_NE(update, nullptr);
    auto* log = Find<wxTextCtrl>(*update, "ID_TEXTCTRL1");
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->IsMultiLine());
    EXPECT_FALSE(log->IsEditable());
    EXPECT_NE(Find<wxGauge>(*update, "ID_GAUGE1"), nullptr);
    EXPECT_NE(Find<wxButton>(*update, "ID_BTN_CLOSE"), nullptr);
    update->Destroy();

    auto* voltage = new wxPanel;
    ASSERT_TRUE(resource->LoadPanel(voltage, parent.get(), "GearVoltagePanel"));
    auto* ratio = new wxPanel;
    ASSERT_TRUE(resource->LoadPanel(ratio, parent.get(), "GearRpmSpeedPanel"));
    std::vector<std::string> voltageKeys = {"N", "1", "2", "3", "4", "5", "6"};
    for (const std::string& key : voltageKeys) {
        EXPECT_NE(Find<wxStaticText>(*voltage, "GEAR_VOLTAGE_TXT_" + key), nullptr) << key;
        EXPECT_NE(Find<wxSpinCtrl>(*voltage, "GEAR_VOLTAGE_SPN_" + key), nullptr) << key;
        EXPECT_NE(Find<wxButton>(*voltage, "GEAR_VOLTAGE_BTN_" + key), nullptr) << key;
    }
    EXPECT_NE(Find<wxStaticText>(*ratio, "GEAR_RPMSPEED_TXT_INFO"), nullptr);
    EXPECT_EQ(ratio->FindWindow(XRCID("GEAR_RPMSPEED_SPN_N")), nullptr) << "no neutral row";
    for (int gear = 1; gear <= 6; ++gear) {
        const std::string key = std::to_string(gear);
        EXPECT_NE(Find<wxStaticText>(*ratio, "GEAR_RPMSPEED_TXT_" + key), nullptr) << key;
        EXPECT_NE(Find<wxSpinCtrl>(*ratio, "GEAR_RPMSPEED_SPN_" + key), nullptr) << key;
        EXPECT_NE(Find<wxButton>(*ratio, "GEAR_RPMSPEED_BTN_" + key), nullptr) << key;
    }
}

TEST_F(Layouts, EveryPageFitsASmallLaptopScreen)
{
    auto* frame = new wxFrame;
    ASSERT_TRUE(resource->LoadFrame(frame, nullptr, "VTX_GUIFrame"));
    // Filled as the window fills them: the grids with their rows, the gear page with the larger panel.
    Find<wxGrid>(*frame, "ID_GRID1")->CreateGrid(16, 1);
    Find<wxGrid>(*frame, "ID_GRID2")->CreateGrid(15, 5);
    Find<wxGrid>(*frame, "ID_GRID3")->CreateGrid(15, 5);
    auto* gearPage = Find<wxPanel>(*frame, "ID_PANEL5");
    auto* voltage = new wxPanel;
    ASSERT_TRUE(resource->LoadPanel(voltage, gearPage, "GearVoltagePanel"));
    gearPage->GetSizer()->Add(voltage, 0, wxALL | wxEXPAND, 5);

    // 1024x700 less the title, menu, 32-pixel toolbar, tabs and status bar.
    const wxSize budget(1000, 520);
    auto* notebook = Find<wxNotebook>(*frame, "ID_NOTEBOOK1");
    for (size_t i = 0; i < notebook->GetPageCount(); ++i) {
        const wxSize best = notebook->GetPage(i)->GetBestSize();
        EXPECT_LE(best.x, budget.x) << notebook->GetPage(i)->GetName();
        EXPECT_LE(best.y, budget.y) << notebook->GetPage(i)->GetName();
    }
    frame->Destroy();
}

}  // namespace
