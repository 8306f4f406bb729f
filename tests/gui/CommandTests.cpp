// The main window's device commands against virtual units on the umockdev
// bus, through the real libusb: launch, Connect, Read, Write, Lock, New,
// Open and Save as, and units that vanish in the middle of a command.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>
#include <wx/textfile.h>
#include <wx/toolbar.h>

#include "GuiTestSupport.h"
#include "config/ConfigurationImage.h"
#include "config/DeviceConfiguration.h"
#include "device/DeviceRequests.h"
#include "device/Features.h"
#include "editor/EditorModel.h"
#include "emulator/VirtualBus.h"
#include "gui/VTX_GUIMain.h"
#include "gui/VantrelBase.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/widgets/MyStatusBar.h"
#include "gui/widgets/wxStateLed.h"
#include "session/CommandEnabling.h"
#include "session/FailureLog.h"
#include "usb/UsbDeviceList.h"
#include "usb/UsbIds.h"

namespace {

// Answers one message box after checking its text.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    explicit ExpectMessage(const wxString& text, int answer = wxID_OK) : text(text), answer(answer) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetMessage(), text);
        return answer;
    }

private:
    wxString text;
    int answer;
};

// Answers one message box after recording its extended message.
class ExpectMessageDetails : public wxExpectModalBase<wxMessageDialog, ExpectMessageDetails> {
public:
    explicit ExpectMessageDetails(wxString* extended) : extended(extended) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetMessage(), "Connecting to device failed, try it again, please.");
        *extended = dialog->GetExtendedMessage();
        return wxID_OK;
    }

private:
    wxString* extended;
};

// Answers the connection dialog: checks its rows, then picks the row that
// shows `serial` (none: Cancel).
class ExpectConnectionDialog : public wxExpectModalBase<ConnectionDialog, ExpectConnectionDialog> {
public:
    explicit ExpectConnectionDialog(const wxString& serial, std::vector<wxString> rows = {},
                                    std::vector<wxString> versions = {})
        : serial(serial), rows(std::move(rows)), versions(std::move(versions))
    {
    }

protected:
    int OnInvoked(ConnectionDialog* dialog) const override
    {
        wxListCtrl* list = dialog->GetListCtrl();
        ExpectColumn(list, 1, rows);
        ExpectColumn(list, 2, versions);
        for (long row = 0; row < list->GetItemCount(); ++row) {
            if (!serial.empty() && list->GetItemText(row, 1) == serial) {
                list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
                return wxID_OK;
            }
        }
        return wxID_CANCEL;
    }

private:
    // A column given (not empty) must hold exactly these texts, top row first.
    static void ExpectColumn(wxListCtrl* list, int column, const std::vector<wxString>& texts)
    {
        if (texts.empty())
            return;
        EXPECT_EQ(static_cast<size_t>(list->GetItemCount()), texts.size()) << "column " << column;
        for (long row = 0; row < list->GetItemCount() && row < static_cast<long>(texts.size()); ++row)
            EXPECT_EQ(list->GetItemText(row, column), texts[row]) << "row " << row << ", column " << column;
    }

    wxString serial;
    std::vector<wxString> rows;
    std::vector<wxString> versions;
};

// Checks that the dialog lists nothing and offers no OK, then cancels.
class ExpectNoDevices : public wxExpectModalBase<ConnectionDialog, ExpectNoDevices> {
protected:
    int OnInvoked(ConnectionDialog* dialog) const override
    {
        EXPECT_EQ(dialog->GetListCtrl()->GetItemCount(), 0);
        EXPECT_EQ(dialog->GetListCtrl()->GetColumnCount(), 4);
        EXPECT_FALSE(dialog->FindWindow(wxID_OK)->IsEnabled());
        EXPECT_EQ(dialog->GetSelectedIndex(), -1);
        return wxID_CANCEL;
    }
};

// Selects the one row, plugs a second unit, presses Refresh: the list is
// rebuilt with both units, nothing selected and OK disabled. Then Cancel.
class ExpectRefresh : public wxExpectModalBase<ConnectionDialog, ExpectRefresh> {
protected:
    int OnInvoked(ConnectionDialog* dialog) const override
    {
        wxListCtrl* list = dialog->GetListCtrl();
        wxWindow* ok = dialog->FindWindow(wxID_OK);
        EXPECT_EQ(list->GetItemCount(), 1);
        EXPECT_FALSE(ok->IsEnabled());
        list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        EXPECT_TRUE(ok->IsEnabled());
        UnitOptions second;
        second.serial = "VT000002";
        AppBus()->AddUnit(second);
        wxWindow* refresh = dialog->FindWindow(XRCID("ID_BTN_REFRESH"));
        wxCommandEvent click(wxEVT_BUTTON, refresh->GetId());
        click.SetEventObject(refresh);
        refresh->ProcessWindowEvent(click);
        EXPECT_EQ(list->GetItemCount(), 2);
        EXPECT_EQ(list->GetSelectedItemCount(), 0);
        EXPECT_FALSE(ok->IsEnabled());
        EXPECT_EQ(dialog->GetSelectedIndex(), -1);
        return wxID_CANCEL;
    }
};

UnitOptions Unit(uint16_t generation, const std::string& serial = "VT000001")
{
    UnitOptions options;
    options.generation = generation;
    options.serial = serial;
    return options;
}

ImageFormat FormatOf(uint16_t generation)
{
    return generation >= 107 ? ImageFormat::Long : ImageFormat::Short;
}

// A configuration that differs from every generation's defaults in fields
// that are easy to see in the editors.
DeviceConfiguration StoredConfiguration(uint16_t generation)
{
    DeviceConfiguration config = MakeDefaultConfiguration(generation >= 108   ? DefaultsFamily::Gen108
                                                          : generation >= 107 ? DefaultsFamily::Gen107
                                                          : generation >= 103 ? DefaultsFamily::Gen103
                                                                              : DefaultsFamily::Base);
    config.ShiftLightRPM = 12500;  // period 1800: survives the image exactly
    config.DelayBetweenShifting = 150;
    config.ShifterMap[1][5] = 44;
    return config;
}

bool SawRequest(const VirtualUnit& unit, uint8_t request)
{
    for (const RequestRecord& record : unit.RequestLog())
        if (record.kind == RequestRecord::Kind::Control && record.setup.bRequest == request)
            return true;
    return false;
}

int LedState(VTX_GUIFrame* frame)
{
    return dynamic_cast<MyStatusBar*>(frame->GetStatusBar())->GetLed()->GetState();
}

class Commands : public OnVirtualBus {
protected:
    Commands() : OnVirtualBus(true) {}
    VirtualUnit& Plug(uint16_t generation, const std::string& serial = "VT000001")
    {
        VirtualUnit& unit = PlugUnit(serial, generation);
        unit.SetConfigurationImage(
            EncodeConfigurationImage(StoredConfiguration(generation), FormatOf(generation)));
        return unit;
    }
};

}  // namespace

TEST_F(Commands, LaunchWithOneUnitReadsItAndPolls)
{
    VirtualUnit& unit = Plug(108);
    Launch();
    EXPECT_EQ(frame->GetDevice()->GetPath(),
              FormatUsbPath(1, bus->PortNumber(unit), bus->DeviceAddress(unit)));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 12500);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL12")->GetValue(), 150);
    EXPECT_EQ(Ctrl<wxGrid>(frame, "ID_GRID3")->GetCellValue(4, 1), "44");
    EXPECT_TRUE(frame->IsLiveTimerRunning());
    EXPECT_EQ(LedState(frame), 2);
    EXPECT_TRUE(MenuItem(frame, "idReadConfiguration")->IsEnabled());
    EXPECT_TRUE(frame->GetToolBar()->GetToolEnabled(GetToolIds().write));
    EXPECT_TRUE(MenuItem(frame, "idLockConfiguration")->IsEnabled());
    EXPECT_TRUE(Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION")->IsEnabled());
    EXPECT_TRUE(unit.LastMode().has_value());
}

// The window enables what the enabling rule gives for its connection
// (session/CommandEnabling; tests/session for each kind of unit): the menu,
// the toolbar, the LED, the pages and the warm-up. The gear detection choice
// follows the unit's feature, and New shows the connection's defaults as the
// editor model holds them.
TEST_F(Commands, EnablingAndNewFollowTheConnection)
{
    for (uint16_t generation : {0, 104, 105, 107, 101, 103}) {  // 0: the simulated unit
        SCOPED_TRACE(generation);
        VirtualUnit* unit = generation != 0 ? &Plug(generation) : nullptr;
        Launch();
        ASSERT_EQ(IsSimulated(frame), unit == nullptr);
        const CommandEnabling enabling = EnablingFor(FactsOf(*frame->GetDevice()));
        for (const char* name : {"idReadConfiguration", "idWriteConfiguration"})
            EXPECT_EQ(MenuItem(frame, name)->IsEnabled(), enabling.readWrite) << name;
        EXPECT_EQ(MenuItem(frame, "idLockConfiguration")->IsEnabled(), enabling.lock);
        EXPECT_EQ(MenuItem(frame, "idFirmwareUpdate")->IsEnabled(), enabling.firmwareUpdate);
        EXPECT_EQ(MenuItem(frame, "idNew")->IsEnabled(), enabling.newAndEditors);
        EXPECT_EQ(frame->GetToolBar()->GetToolEnabled(GetToolIds().read), enabling.readWrite);
        EXPECT_EQ(frame->GetToolBar()->GetToolEnabled(GetToolIds().write), enabling.readWrite);
        EXPECT_EQ(frame->GetToolBar()->GetToolEnabled(GetToolIds().newConfig), enabling.newAndEditors);
        EXPECT_EQ(LedState(frame), static_cast<int>(enabling.led));
        EXPECT_EQ(Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1")->IsEnabled(), enabling.newAndEditors);
        EXPECT_EQ(Ctrl<wxWindow>(frame, "ID_CHECKBOX1")->IsEnabled(), enabling.warmUp);
        auto* gearDetection = Ctrl<wxRadioBox>(frame, "ID_RBOX_GEAR_DETECTION");
        const bool gearChoice = frame->GetDevice()->GetFeature(FEATURE_GEAR_DETECTION_CHOICE) == 1;
        EXPECT_EQ(gearDetection->IsEnabled(), gearChoice);
        if (!gearChoice) {
            EXPECT_EQ(gearDetection->GetSelection(), 0);
        }
        if (unit != nullptr) {
            EXPECT_EQ(frame->CollectConfiguration().ShiftLightRPM,
                      StoredConfiguration(generation).ShiftLightRPM);
        }
        EditorModel model;
        model.Show(frame->CollectConfiguration());
        model.Show(frame->GetDevice()->GetDefaultConfiguration());
        RunMenuCommand(frame, "idNew");
        EXPECT_TRUE(frame->CollectConfiguration() == model.Collect());
        if (unit != nullptr)
            bus->Unplug(*unit);
    }
}

TEST_F(Commands, UnitInItsBootloaderIsOpenedButNotRead)
{
    UnitOptions options = Unit(108);
    options.personality = Personality::Bootloader;
    options.bootloaderVersion = 101;
    VirtualUnit& unit = bus->AddUnit(options);
    const wxString shiftLight = wxString::Format("%d", Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue());
    // A unit in its bootloader is always offered the update; decline it.
    wxTEST_DIALOG(Launch(),
                  ExpectMessage("A new firmware version is available for the connected device. Do you "
                                "want to update to the latest firmware version?",
                                wxID_NO));
    EXPECT_TRUE(frame->GetDevice()->IsOpen());
    EXPECT_EQ(frame->GetDevice()->GetDeviceMode(), 1);
    EXPECT_FALSE(SawRequest(unit, REQ_CONFIG));
    EXPECT_FALSE(frame->IsLiveTimerRunning());
    EXPECT_EQ(LedState(frame), 1);
    EXPECT_FALSE(Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1")->IsEnabled());
    EXPECT_TRUE(MenuItem(frame, "idFirmwareUpdate")->IsEnabled());
    EXPECT_FALSE(MenuItem(frame, "idReadConfiguration")->IsEnabled());
    EXPECT_FALSE(MenuItem(frame, "idLockConfiguration")->IsEnabled());
    EXPECT_FALSE(MenuItem(frame, "idNew")->IsEnabled());
    EXPECT_FALSE(frame->GetToolBar()->GetToolEnabled(GetToolIds().newConfig));
    EXPECT_EQ(wxString::Format("%d", Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue()), shiftLight);

    // The connection dialog names the bootloader's version.
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"),
                  ExpectConnectionDialog("", {"VT000001"}, {"bootloader 1.01"}));
}

TEST_F(Commands, TwoUnitsAtLaunchStayDisconnectedAndConnectListsBoth)
{
    Plug(108, "VT000001");
    VirtualUnit& second = Plug(105, "VT000002");
    Launch();
    EXPECT_GT(frame->GetDevice()->GetFeature(5), 0);
    EXPECT_EQ(LedState(frame), 0);
    // Rows go to the top as they are added: the later unit in enumeration
    // order is on top.
    std::vector<wxString> rows;
    {
        std::unique_ptr<UsbDeviceList> list(EnumerateDevices(UNIT_VENDOR_ID, UNIT_PRODUCT_ID));
        for (UsbDevice* entry = list->GetFirst(); entry; entry = list->GetNext())
            rows.insert(rows.begin(), entry->serialNumber);
    }
    ASSERT_EQ(rows.size(), 2u);
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), ExpectConnectionDialog("VT000002", rows));
    Pump();
    EXPECT_EQ(frame->GetDevice()->GetSerialNumber(), "VT000002");
    EXPECT_EQ(frame->GetDevice()->GetPath(),
              FormatUsbPath(1, bus->PortNumber(second), bus->DeviceAddress(second)));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 12500);
    EXPECT_TRUE(frame->IsLiveTimerRunning());
}

TEST_F(Commands, ConnectWithNoUnitListsNothingAndCancelKeepsTheSimulator)
{
    bus->AddOtherClassDevice();  // on the bus, but not a device of ours
    Launch();
    VantrelBase* before = frame->GetDevice();
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), ExpectNoDevices());
    Pump();
    EXPECT_EQ(frame->GetDevice(), before);
    EXPECT_GT(frame->GetDevice()->GetFeature(5), 0);
    EXPECT_FALSE(frame->IsLiveTimerRunning());
}

TEST_F(Commands, SiblingProductIsRefusedAndTheConnectionKept)
{
    Plug(108, "VT000001");
    bus->AddSibling("CV000001");
    Launch();
    // Two devices of the filter, but only one unit: the unit is connected.
    VantrelBase* before = frame->GetDevice();
    ASSERT_EQ(before->GetSerialNumber(), "VT000001");
    wxTEST_DIALOG(
        {
            RunMenuCommand(frame, "idConnect");
            Pump();
        },
        ExpectConnectionDialog("CV000001"),
        ExpectMessage(
            "This device is not supported by this application. Please run the \"Corvello\" application "
            "dedicated for this product."));
    EXPECT_EQ(frame->GetDevice(), before);
    EXPECT_TRUE(before->IsOpen());
}

TEST_F(Commands, ChoosingTheConnectedUnitReadsAgainWithoutReopening)
{
    VirtualUnit& unit = Plug(108);
    Launch();
    VantrelBase* before = frame->GetDevice();
    unit.SetConfigurationImage(EncodeConfigurationImage(
        [] {
            DeviceConfiguration changed = StoredConfiguration(108);
            changed.ShiftLightRPM = 9000;
            return changed;
        }(),
        ImageFormat::Long));
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), ExpectConnectionDialog("VT000001"));
    EXPECT_EQ(frame->GetDevice(), before);
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 9000);
    EXPECT_TRUE(frame->IsLiveTimerRunning());
}

// The editors hold the stored image as the editor model holds it (the
// threshold as a whole percentage, the spins' ranges, the 1000 rpm cell);
// Write stores exactly that with the edits, after the confirmation when it
// is asked for, and nothing when it is declined.
TEST_F(Commands, WriteStoresExactlyTheEditedImage)
{
    VirtualUnit& unit = Plug(108);
    Launch();
    DeviceConfiguration expected;
    ASSERT_TRUE(DecodeConfigurationImage(unit.ConfigurationImage(), ImageFormat::Long, expected));
    EditorModel model;
    model.Show(expected);
    expected = model.Collect();
    const auto before = unit.ConfigurationImage();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(8000);
    wxTEST_DIALOG(RunMenuCommand(frame, "idWriteConfiguration"),
                  ExpectMessage("Do you really want to write configuration into device?", wxID_NO));
    EXPECT_EQ(unit.ConfigurationImage(), before) << "declined";

    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(expected.ShiftLightRPM);
    Ctrl<wxGrid>(frame, "ID_GRID2")->SetCellValue(6, 2, "120");
    Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_4")->SetValue(3950);
    wxTEST_DIALOG(RunMenuCommand(frame, "idWriteConfiguration"),
                  ExpectMessage("Do you really want to write configuration into device?", wxID_YES));

    // Grid row 6 is 8000 rpm, cell 7 of the gear-4 row.
    expected.BlipperMap[2][7] = 120;
    expected.Gear4Voltage = 3950;
    EXPECT_EQ(unit.ConfigurationImage(), EncodeConfigurationImage(expected, ImageFormat::Long));

    // Without confirmation nothing is asked.
    MenuItem(frame, "idConfirmWriting")->Check(false);
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL13")->SetValue(210);
    RunMenuCommand(frame, "idWriteConfiguration");
    expected.DelayBetweenBlipping = 210;
    EXPECT_EQ(unit.ConfigurationImage(), EncodeConfigurationImage(expected, ImageFormat::Long));
    // Nor before locking.
    ASSERT_EQ(unit.LockByte(), 0);
    RunMenuCommand(frame, "idLockConfiguration");
    EXPECT_NE(unit.LockByte(), 0);
}

// Locking follows the generation: a unit that locks asks first and then
// refuses to be read; a generation without lock is read without asking about
// it, and Lock says it is not supported.
TEST_F(Commands, LockingFollowsTheGeneration)
{
    VirtualUnit& locking = Plug(105);
    Launch();
    wxTEST_DIALOG(RunMenuCommand(frame, "idLockConfiguration"),
                  ExpectMessage("Do you really want to lock the configuration?", wxID_YES));
    EXPECT_NE(locking.LockByte(), 0);
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(7700);
    wxTEST_DIALOG(RunMenuCommand(frame, "idReadConfiguration"), ExpectMessage("Configuration is locked"));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 7700);
    bus->Unplug(locking);

    VirtualUnit& unit = Plug(103);
    Launch();
    unit.ClearRequestLog();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(7700);
    RunMenuCommand(frame, "idReadConfiguration");
    EXPECT_TRUE(SawRequest(unit, REQ_CONFIG));
    EXPECT_FALSE(SawRequest(unit, REQ_LOCK));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 12500);
    wxTEST_DIALOG(RunMenuCommand(frame, "idLockConfiguration"), ExpectMessage("Locking is not supported"));
}

TEST_F(Commands, InvalidValuesBlockWriteAndSaveAs)
{
    VirtualUnit& unit = Plug(108);
    Launch();
    const auto before = unit.ConfigurationImage();
    auto* gear1 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_1");
    auto* gear5 = Ctrl<wxSpinCtrl>(frame, "GEAR_VOLTAGE_SPN_5");
    gear1->SetValue(3000);
    gear5->SetValue(3000);
    wxTEST_DIALOG(RunMenuCommand(frame, "idWriteConfiguration"),
                  ExpectMessage("Invallid settings, please check it first"));
    EXPECT_EQ(unit.ConfigurationImage(), before);
    ASSERT_FALSE(frame->GetInvalidControls().empty());
    EXPECT_EQ(frame->GetInvalidControls().front(), gear1);
    // The suite's display runs a window manager: the window is active, so the
    // focus is the toolkit's real one, not one waiting for activation.
    EXPECT_TRUE(frame->IsActive());
    EXPECT_EQ(wxWindow::FindFocus(), gear1);
    wxTEST_DIALOG(RunMenuCommand(frame, "idSaveAs"),
                  ExpectMessage("Invallid settings, please check it first"));

    // Equal TPS limits alone block too.
    gear5->SetValue(4400);
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL17")->SetValue(2000);
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL11")->SetValue(2000);
    wxTEST_DIALOG(RunMenuCommand(frame, "idWriteConfiguration"),
                  ExpectMessage("Invallid settings, please check it first"));
    EXPECT_EQ(frame->GetInvalidControls().front(), Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL11"));
    EXPECT_EQ(unit.ConfigurationImage(), before);
}

TEST_F(Commands, SaveAsThenOpenUnderAnotherGeneration)
{
    const std::string folder = MakeTempFolder();
    const wxString path = folder + "/saved.vtn";
    VirtualUnit& newer = Plug(108, "VT000001");
    Launch();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL16")->SetValue(2600);  // warm-up limit
    Ctrl<wxSpinCtrl>(frame, "GEAR_RPMSPEED_SPN_2")->SetValue(700);
    wxTEST_DIALOG(RunMenuCommand(frame, "idSaveAs"), ExpectFile(path));
    wxTextFile written(path);
    ASSERT_TRUE(written.Open());
    EXPECT_EQ(written.GetFirstLine(), "AppVersion=26.08.01\\n\\n");
    bool hasRatio = false;
    for (wxString line = written.GetFirstLine(); !written.Eof(); line = written.GetNextLine())
        hasRatio = hasRatio || line == "Gear2RpmSpeedRatio=700";
    EXPECT_TRUE(hasRatio);
    bus->Unplug(newer);

    Plug(104, "VT000002");
    Launch();
    ASSERT_EQ(frame->GetDevice()->GetSerialNumber(), "VT000002");
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL16")->SetValue(5000);
    Ctrl<wxSpinCtrl>(frame, "GEAR_RPMSPEED_SPN_2")->SetValue(111);
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFile(path));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL16")->GetValue(), 2600);
    // A generation-104 unit reads the base keys only; the ratio spin shows
    // the blank record's 0.
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "GEAR_RPMSPEED_SPN_2")->GetValue(), 0);

    // A file whose neutral voltage equals gear 3's breaks a rule: nothing loads.
    // In a folder of its own: the chooser may not have noticed a file that
    // appeared in a folder it has already listed.
    wxTextFile broken;
    ASSERT_TRUE(wxMkdir(folder + "/other"));
    const wxString brokenPath = folder + "/other/broken.vtn";
    ASSERT_TRUE(broken.Create(brokenPath));
    broken.AddLine("GearNVoltage=3200");
    broken.AddLine("Gear3Voltage=3200");
    broken.AddLine("ShiftLightRPM=4000");
    broken.Write();
    broken.Close();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(9100);
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFile(brokenPath), ExpectMessage("Loading failed"));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 9100);
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST_F(Commands, OpenRefusesAFileOfAnotherProgram)
{
    const std::string folder = MakeTempFolder();
    const wxString path = folder + "/other.vtn";
    wxTextFile other;
    ASSERT_TRUE(other.Create(path));
    other.AddLine("[Desktop Entry]");
    other.AddLine("Name=Other");
    other.Write();
    other.Close();
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(9100);
    wxGrid* shifter = Ctrl<wxGrid>(frame, "ID_GRID3");
    shifter->SetCellValue(3, 1, "44");
    wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFile(path), ExpectMessage("Loading failed"));
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 9100);
    EXPECT_EQ(shifter->GetCellValue(3, 1), "44");

    // Bytes that are no text at all: the one message is the program's own;
    // the parser's complaint goes to the failure log, never to the user's log.
    const wxString junk = folder + "/junk/x.vtn";
    ASSERT_TRUE(wxMkdir(folder + "/junk"));
    {
        std::ofstream file(junk.utf8_string(), std::ios::binary);
        for (int line = 0; line < 30; ++line)
            file << "\x91\x03" << static_cast<char>('a' + line) << "\xfe garbage " << line << '\n';
    }
    struct ErrorCount : wxLog {
        ErrorCount() : previous(wxLog::SetActiveTarget(this)) {}
        ~ErrorCount() override { wxLog::SetActiveTarget(previous); }
        void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
        {
            errors += level <= wxLOG_Warning ? 1 : 0;
        }
        wxLog* previous;
        int errors = 0;
    };
    {
        ErrorCount log;
        wxTEST_DIALOG(RunMenuCommand(frame, "idOpen"), ExpectFile(junk), ExpectMessage("Loading failed"));
        Pump();
        EXPECT_EQ(log.errors, 0);
    }
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 9100);
    wxTextFile failures(FailureLogPath().string());
    ASSERT_TRUE(failures.Open());
    EXPECT_NE(failures.GetLastLine().Find("open settings file " + junk + " failed: "), wxNOT_FOUND)
        << failures.GetLastLine();
    EXPECT_NE(failures.GetLastLine().Find("'=' expected"), wxNOT_FOUND) << failures.GetLastLine();
    std::system(("rm -rf '" + folder + "'").c_str());
}

TEST_F(Commands, UnitPulledDuringReadOrWriteKeepsTheEditors)
{
    struct Case {
        const char* command;
        uint8_t request;
        const char* message;
    };
    for (const Case& c : {Case{"idReadConfiguration", REQ_CONFIG, "Configuration reading failed"},
                          Case{"idWriteConfiguration", REQ_CONFIG, "Configuration writing failed"}}) {
        SCOPED_TRACE(c.command);
        MenuItem(frame, "idConfirmWriting")->Check(false);
        VirtualUnit& unit = Plug(107);
        Launch();
        ASSERT_EQ(LedState(frame), 2);
        Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(6600);
        Ctrl<wxGrid>(frame, "ID_GRID3")->SetCellValue(2, 2, "77");
        FaultSpec pull;
        pull.kind = FaultKind::Disconnect;
        pull.target = c.request;
        unit.AddFault(pull);
        wxTEST_DIALOG(RunMenuCommand(frame, c.command), ExpectMessage(c.message));
        EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 6600);
        EXPECT_EQ(Ctrl<wxGrid>(frame, "ID_GRID3")->GetCellValue(2, 2), "77");

        // Polling gives up after the fourth failed read in a row.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (frame->GetDevice()->GetFeature(5) <= 0 && std::chrono::steady_clock::now() < deadline) {
            Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_GT(frame->GetDevice()->GetFeature(5), 0);
        EXPECT_FALSE(frame->IsLiveTimerRunning());
        EXPECT_EQ(LedState(frame), 0);
        EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 6600);
        if (bus->IsAttached(unit))
            bus->Unplug(unit);
    }
}

TEST_F(Commands, UnitThatCannotBeOpenedGivesOneMessageAndTheSimulator)
{
    UnitOptions options = Unit(108, "VT000009");
    options.bcdDeviceOverride = 0x0109;  // no generation class for 109
    bus->AddUnit(options);
    Launch();
    EXPECT_GT(frame->GetDevice()->GetFeature(5), 0);
    Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->SetValue(5500);
    // Only "Connecting failed": no read is attempted on a unit that is not open.
    wxTEST_DIALOG(
        {
            RunMenuCommand(frame, "idConnect");
            Pump();
        },
        ExpectConnectionDialog("VT000009"),
        ExpectMessage("Connecting to device failed, try it again, please."));
    EXPECT_GT(frame->GetDevice()->GetFeature(5), 0);
    EXPECT_TRUE(frame->GetDevice()->IsOpen());
    EXPECT_FALSE(frame->IsLiveTimerRunning());
    EXPECT_EQ(Ctrl<wxSpinCtrl>(frame, "ID_SPINCTRL1")->GetValue(), 5500);
}

TEST_F(Commands, ConnectingFailedTellsAUserWithoutAccessHowToGetIt)
{
    // Only the "access denied" code of the failed open adds the fix; any other
    // failure (busy, gone) shows the plain message.
    struct Case {
        int openError;
        bool hint;
    };
    for (const Case& c : {Case{USB_ERROR_ACCESS, true}, Case{-4, false}, Case{0, false}}) {
        auto* event = new wxCommandEvent(EVT_CONNECTING_FAILED, 0);
        event->SetInt(c.openError);
        wxQueueEvent(frame, event);
        wxString extended = "not shown";
        wxTEST_DIALOG(Pump(), ExpectMessageDetails(&extended));
        EXPECT_EQ(extended.Contains("70-vantrel.rules"), c.hint) << c.openError;
        EXPECT_EQ(extended.Contains("USB permission denied"), c.hint) << c.openError;
    }
}

TEST_F(Commands, RefreshInTheConnectionDialogEnumeratesAgain)
{
    Plug(108, "VT000001");
    Launch();
    VantrelBase* before = frame->GetDevice();
    wxTEST_DIALOG(RunMenuCommand(frame, "idConnect"), ExpectRefresh());
    // Cancel leaves the connection as it was.
    EXPECT_EQ(frame->GetDevice(), before);
    EXPECT_TRUE(before->IsOpen());
}
