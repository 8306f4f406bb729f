// The automatic history and the Compare window against virtual units on the
// umockdev bus: edits that a Connect replaces are kept and come back with
// Restore, Compare lists and takes what differs, and the unit sees the same
// requests with the history on as with it off.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "history/HistoryStore.h"
#include "session/EditorSession.h"

namespace {

// Answers a modal window of class Dialog by running `act` on it.
template <class Dialog>
class Answer : public wxExpectModalBase<Dialog, Answer<Dialog>> {
public:
    explicit Answer(std::function<int(Dialog*)> act) : act(std::move(act)) {}

protected:
    int OnInvoked(Dialog* dialog) const override { return act(dialog); }

private:
    std::function<int(Dialog*)> act;
};

// Picks the row of the connection dialog that shows `serial`.
Answer<ConnectionDialog> Choose(const wxString& serial)
{
    return Answer<ConnectionDialog>([serial](ConnectionDialog* dialog) {
        wxListCtrl* list = dialog->GetListCtrl();
        for (long row = 0; row < list->GetItemCount(); ++row)
            if (list->GetItemText(row, 1) == serial) {
                list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                return wxID_OK;
            }
        ADD_FAILURE() << "no row for " << serial;
        return wxID_CANCEL;
    });
}

// Answers the confirmation of Write or Lock with Yes.
class Yes : public wxExpectModalBase<wxMessageDialog, Yes> {
protected:
    int OnInvoked(wxMessageDialog*) const override { return wxID_YES; }
};

DeviceConfiguration Stored()
{
    DeviceConfiguration config = MakeDefaultConfiguration(DefaultsFamily::Gen108);
    config.ShiftLightRPM = 12500;
    config.ShifterMap[1][5] = 44;
    return config;
}

using Request = std::tuple<uint8_t, uint8_t, uint16_t, uint16_t, uint16_t>;

std::vector<Request> ControlRequests(const VirtualUnit& unit)
{
    std::vector<Request> requests;
    for (const RequestRecord& record : unit.RequestLog())
        if (record.kind == RequestRecord::Kind::Control) {
            // The setup packet is packed: its fields are copied, not bound.
            const uint16_t value = record.setup.wValue, index = record.setup.wIndex,
                           length = record.setup.wLength;
            requests.emplace_back(record.setup.bmRequestType, record.setup.bRequest, value, index, length);
        }
    return requests;
}

class History : public OnVirtualBus {
protected:
    void SetUpOnBus() override
    {
        history = &frame->GetSession();
        history->SetHistoryKept(true);
        history->History().Flush();
        std::filesystem::remove_all(history->History().Root());
    }
    VirtualUnit& PlugAndLaunch(const std::string& serial = "VT000001")
    {
        VirtualUnit& unit = PlugUnit(serial);
        unit.SetConfigurationImage(EncodeConfigurationImage(Stored(), ImageFormat::Long));
        Launch();
        return unit;
    }
    wxGrid* Shifter() { return Ctrl<wxGrid>(frame, "ID_GRID3"); }
    wxGrid* Blipper() { return Ctrl<wxGrid>(frame, "ID_GRID2"); }

    EditorSession* history = nullptr;
};

}  // namespace

TEST_F(History, EditsReplacedByAConnectAreKeptAndRestoreBringsThemBack)
{
    PlugAndLaunch();
    Shifter()->SetCellValue(6, 1, "70");
    Shifter()->SetCellValue(7, 1, "72");
    Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_4")->SetValue(3950);
    const int percent = Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL18")->GetValue();

    // Connect to the same unit again: it reads and replaces the editors.
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), Choose("VT000001"));
    ASSERT_EQ(Shifter()->GetCellValue(6, 1), "56");
    ASSERT_NE(Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_4")->GetValue(), 3950);

    wxTEST_DIALOG(
        RunMenuCommand(frame, "ID_MENU_HISTORY"), Answer<HistoryWindow>([](HistoryWindow* window) {
            EXPECT_FALSE(window->GetAllUnits()->GetValue());
            wxListCtrl* list = window->GetList();
            EXPECT_EQ(list->GetItemCount(), 3);
            if (list->GetItemCount() != 3)
                return wxID_CANCEL;
            // Newest first: the read of the second Connect, the
            // edits it replaced, the read at launch.
            EXPECT_EQ(list->GetItemText(0, 1), "read");
            EXPECT_EQ(list->GetItemText(1, 1), "unsaved");
            EXPECT_EQ(list->GetItemText(2, 1), "connect");
            EXPECT_EQ(list->GetItemText(0, 2), "Unit VT000001");
            EXPECT_EQ(list->GetItemText(1, 3),
                      wxString::FromUTF8("Gear position sensor, gear 4 " +
                                         std::to_string(window->Entries()[2].record.config.Gear4Voltage) +
                                         " \u2192 3950; Shifter map, gear 2: 2 cells"));
            EXPECT_EQ(list->GetItemText(0, 3),
                      wxString::FromUTF8("Gear position sensor, gear 4 3950 \u2192 " +
                                         std::to_string(window->Entries()[2].record.config.Gear4Voltage) +
                                         "; Shifter map, gear 2: 2 cells"));
            EXPECT_EQ(list->GetItemText(2, 3), "first entry");
            list->SetItemState(1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
            EXPECT_TRUE(window->RestoreSelected());
            return wxID_OK;
        }));
    EXPECT_EQ(Shifter()->GetCellValue(6, 1), "70");
    EXPECT_EQ(Shifter()->GetCellValue(7, 1), "72");
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_4")->GetValue(), 3950);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL18")->GetValue(), percent);

    // The entries are settings files in the unit's folder.
    const auto entries = history->History().List("VT000001");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].path.parent_path(), history->History().Root() / "VT000001");
    EXPECT_EQ(entries[1].path.extension(), ".vtn");
}

TEST_F(History, CompareListsWhatDiffersMarksTheCellsAndTakeAllMakesThemEqual)
{
    VirtualUnit& unit = PlugAndLaunch();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(9000);
    Blipper()->SetCellValue(6, 2, "120");
    const std::filesystem::path notSettings = history->History().Root() / "notes.txt";
    std::filesystem::create_directories(notSettings.parent_path());
    std::ofstream(notSettings) << "tyres: 2.1 bar\n";
    const size_t before = ControlRequests(unit).size();

    wxTEST_DIALOG(
        RunMenuCommand(frame, "ID_MENU_COMPARE"), Answer<CompareWindow>([&](CompareWindow* window) {
            EXPECT_FALSE(window->CompareWithFile(wxString(notSettings.string())));
            EXPECT_EQ(window->GetMessage(), "notes.txt is not a settings file.");

            EXPECT_TRUE(window->CompareWithUnit());
            // One configuration read and nothing else.
            const std::vector<Request> sent = ControlRequests(unit);
            EXPECT_EQ(sent.size(), before + 1);
            if (sent.size() == before + 1) {
                EXPECT_EQ(std::get<1>(sent.back()), 0x00);
            }
            std::vector<std::string> names;
            for (const FieldDifference& difference : window->Differences())
                names.push_back(difference.name);
            EXPECT_EQ(names, (std::vector<std::string>{"ShiftLightRPM", "BlipperMap4G8000"}));
            EXPECT_EQ(window->GetList()->GetItemText(1), "Blipper map, 8,000 rpm, gear 4");
            EXPECT_EQ(window->GetList()->GetItemText(0, 1), "9000");
            EXPECT_EQ(window->GetList()->GetItemText(0, 2), "12500");
            EXPECT_NE(Blipper()->GetCellBackgroundColour(6, 2), Blipper()->GetDefaultCellBackgroundColour());
            EXPECT_EQ(Blipper()->GetCellBackgroundColour(6, 1), Blipper()->GetDefaultCellBackgroundColour());

            window->TakeAll();
            EXPECT_TRUE(window->Differences().empty());
            EXPECT_EQ(window->GetList()->GetItemCount(), 0);
            return wxID_CANCEL;
        }));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 12500);
    EXPECT_EQ(Blipper()->GetCellValue(6, 2), "80");
    EXPECT_EQ(Blipper()->GetCellBackgroundColour(6, 2), Blipper()->GetDefaultCellBackgroundColour());
}

TEST_F(History, TheUnitSeesTheSameRequestsWithTheHistoryOnAsOff)
{
    std::vector<Request> seen[2];
    for (int on = 0; on < 2; ++on) {
        UnplugAll();
        Launch();
        history->SetHistoryKept(on == 1);
        VirtualUnit& unit = PlugAndLaunch(on ? "VT000003" : "VT000002");
        Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(9000);
        RunMenuCommand(frame, "idReadConfiguration");
        Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(9500);
        wxTEST_DIALOG(RunMenuCommand(frame, "idWriteConfiguration"), Yes());
        wxTEST_DIALOG(RunMenuCommand(frame, "idLockConfiguration"), Yes());
        seen[on] = ControlRequests(unit);
    }
    history->History().Flush();
    EXPECT_FALSE(seen[0].empty());
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_TRUE(history->History().List("VT000002").empty());
    // connect, unsaved (before the Read), read, write
    EXPECT_EQ(history->History().List("VT000003").size(), 4u);
}

// The budget is the release build's; a build with the address sanitiser and
// without optimisation runs the same code several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kBuildSlowdown = 4;
#else
constexpr int kBuildSlowdown = 1;
#endif

TEST_F(History, KeepingAnEntryHoldsTheGuiThreadUnderFiveMilliseconds)
{
    PlugAndLaunch();
    const DeviceConfiguration read = frame->CollectConfiguration();
    auto longest = std::chrono::steady_clock::duration::zero();
    for (int i = 0; i < 20; ++i) {
        Shifter()->SetCellValue(i % 15, 2, i % 2 ? "70" : "71");
        const auto start = std::chrono::steady_clock::now();
        history->KeepEditedBeforeReplace();  // edited: collects the editors and keeps them
        history->KeptFromUnit(read, "read");
        longest = std::max(longest, std::chrono::steady_clock::now() - start);
    }
    history->History().Flush();
    RecordProperty("longest_us",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(longest).count()));
    EXPECT_LT(longest, std::chrono::milliseconds(5) * kBuildSlowdown)
        << std::chrono::duration_cast<std::chrono::microseconds>(longest).count() << " us";
    EXPECT_EQ(history->History().List("VT000001").size(), 41u);  // the connect, then 20 pairs
}

TEST_F(History, AFolderThatCannotBeWrittenGivesOneLineAndEditingGoesOn)
{
    const std::filesystem::path root = history->History().Root();
    std::filesystem::create_directories(root.parent_path());
    std::ofstream(root.parent_path() / "blocked") << "a file, not a folder";
    history->UseHistoryRoot(root.parent_path() / "blocked" / "history");
    const std::filesystem::path log =
        std::filesystem::path(getenv("XDG_STATE_HOME")) / "vantrelstudio" / "vantrel.log";
    auto lines = [&log] {
        std::ifstream in(log);
        int count = 0;
        for (std::string line; std::getline(in, line);)
            count += line.find("History not kept") != std::string::npos;
        return count;
    };
    const int before = lines();

    PlugAndLaunch();
    Shifter()->SetCellValue(6, 1, "70");
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), Choose("VT000001"));
    history->History().Flush();
    Pump();
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText(0).StartsWith("History not kept"))
        << frame->GetStatusBar()->GetStatusText(0);
    // The editors' source stays beside it.
    EXPECT_TRUE(frame->GetStatusBar()->GetStatusText(0).EndsWith("Unit VT000001"))
        << frame->GetStatusBar()->GetStatusText(0);
    EXPECT_EQ(lines(), before + 1);
    // The commands went on: the read replaced the editors, and editing works.
    EXPECT_EQ(Shifter()->GetCellValue(6, 1), "56");
    Shifter()->SetCellValue(6, 1, "71");
    EXPECT_EQ(frame->CollectConfiguration().ShifterMap[1][7], 71);
    history->UseHistoryRoot(root);
    std::filesystem::remove(root.parent_path() / "blocked");
}

TEST_F(History, QuittingWithEditsKeepsThemAndWithoutEditsKeepsNothing)
{
    const std::filesystem::path root = history->History().Root();
    for (bool edit : {false, true}) {
        auto* window = new VTX_GUIFrame(nullptr);
        window->GetSession().UseHistoryRoot(root);
        if (edit)
            Ctrl<wxGrid>(window, "ID_GRID3")->SetCellValue(0, 0, "66");
        delete window;
    }
    HistoryStore store(root);
    const std::vector<HistoryEntry> kept = store.List("");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].record.event, "quit");
    EXPECT_EQ(kept[0].record.source, "Edited Defaults of 1.08");
    EXPECT_EQ(kept[0].record.config.ShifterMap[0][1], 66);
}
