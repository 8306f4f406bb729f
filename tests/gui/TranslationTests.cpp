// The windows in EXPECT_TEXTS's language; with FIT_EVERY_LANGUAGE=1, every window's texts fit in each.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "GuiTestSupport.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/commands/FwUpdateDialog.h"
#include "gui/editors/EditorContent.h"
#include "gui/editors/EditorsView.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "session/ProgramLanguage.h"
#include "session/UserSettings.h"

namespace {

TEST_F(OnVirtualBus, MenusTabsLabelsTablesAndMessageBoxes)
{
    // A menu, a tab, a check box, a button and a table row the code makes, a field of Compare
    // and a source the history keeps in English, and the box of Options > Language, which keeps
    // the choice; the texts from the catalogues by hand.
    const std::map<std::string, std::string> expected = {
        {"en",
         "Edit|Shifter|Run warm-up now (connected unit only)|Start logging|rpm period|Closed throttle|"
         "Edited Unit VT000001|Language|The new language applies the next time VantrelStudio starts.|"},
        {"de",
         "Bearbeiten|Schaltautomat|Warmlauf jetzt starten (nur verbundenes Steuergerät)|Aufzeichnung "
         "starten|Drehzahlperiode|Gas geschlossen|Steuergerät VT000001 (bearbeitet)|Sprache|Die neue "
         "Sprache gilt ab dem nächsten Start von VantrelStudio.|"},
        {"it",
         "Modifica|Quickshifter|Avvia ora il riscaldamento (solo centralina collegata)|Avvia registrazione|"
         "periodo giri|Gas chiuso|Centralina VT000001 (modificato)|Lingua|La nuova lingua vale dal "
         "prossimo avvio di VantrelStudio.|"}};
    EditorContent& content = frame->GetEditorContent();
    HistoryRecord kept{content.View().CollectConfiguration(), "", "quit", "Edited Unit VT000001",
                       std::chrono::system_clock::now()};
    frame->GetSession().History().Keep(kept);
    frame->GetSession().History().Flush();
    HistoryWindow history(*frame, content);
    ++kept.config.TPSMinVoltage;
    CompareWindow compare(*frame, content, frame->GetPages(), frame->GetConnection());
    compare.CompareWith(kept.config, "");
    ModalAnswerer answers(wxID_OK);
    MenuItem(frame, "idLanguageFrench")->Check(true);
    RunMenuCommand(frame, "idLanguageFrench");
    ASSERT_EQ(answers.shown.size(), 1u);
    wxString shown;
    for (const wxString& text :
         {frame->GetMenuBar()->GetMenuLabelText(1), Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1")->GetPageText(1),
          Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1")->GetLabel(),
          Ctrl<wxButton>(frame, "ID_BUTTON_LOGGING")->GetLabel(),
          Ctrl<wxGrid>(frame, "ID_GRID1")->GetRowLabelValue(0), compare.GetList()->GetItemText(0),
          history.GetList()->GetItemText(0, 2), answers.shown[0].caption, answers.shown[0].message})
        shown += text + "|";
    EXPECT_EQ(shown.utf8_string(), expected.at(wxGetenv("EXPECT_TEXTS")));
    EXPECT_EQ(UserSettings().ReadLanguage(), "fr");
}

// Each text whole: a control at least its best size, a box as wide as its caption, all within
// the room across, the texts also down (a map's box may reach below: its grid scrolls).
void ExpectTextsFit(wxWindow* window, const wxRect& room, const wxString& where)
{
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        auto* box = dynamic_cast<wxStaticBox*>(child);
        const bool texted = !box && child->IsKindOf(CLASSINFO(wxControl)) && !child->GetLabel().empty();
        const wxSize needed = box      ? wxSize(box->GetTextExtent(box->GetLabelText()).x, 0)
                              : texted ? child->GetBestSize()
                                       : wxSize();
        const wxRect at = child->GetScreenRect();
        EXPECT_TRUE(needed.x <= at.width && needed.y <= at.height && at.x >= room.x &&
                    at.GetRight() <= room.GetRight() &&
                    (!texted || (at.y >= room.y && at.GetBottom() <= room.GetBottom())))
            << where << ": " << child->GetName() << " \"" << child->GetLabel() << "\"";
        ExpectTextsFit(child, room, where);
    }
}

// The window as the program opens it at first start (no size kept, each page built when first
// shown, at the size the window has then), with `page` opened first; the FFT page shown as well.
VTX_GUIFrame* OpenAtFirstStart(int page)
{
    {
        UserSettings settings;
        settings.Clear();
        settings.Write(kShowFftFlag, true);
    }
    auto* window = new VTX_GUIFrame(nullptr);
    window->Show();
    Pump();
    Ctrl<wxNotebook>(window, "ID_NOTEBOOK1")->SetSelection(page);
    Pump();
    return window;
}

void Close(VTX_GUIFrame* window)
{
    ModalAnswerer quiet;
    window->Destroy();
    Pump();
}

TEST_F(OnVirtualBus, EveryPageAndDialogShowsItsTextsWholeInEveryLanguage)
{
    if (wxString(wxGetenv("FIT_EVERY_LANGUAGE")) != "1")
        GTEST_SKIP() << "in the run with FIT_EVERY_LANGUAGE=1";
    for (const char* code : {"en", "de", "it", "fr", "es"}) {  // the last test: no need to return
        UseProgramLanguage(code, CatalogueFolders({VANTREL_GUI_DIR}));
        VTX_GUIFrame* window = OpenAtFirstStart(0);
        EditorContent& content = window->GetEditorContent();
        for (wxDialog* dialog : std::initializer_list<wxDialog*>{
                 new ConnectionDialog(window), new FwUpdateDialog("", "", 100, window),
                 new HistoryWindow(*window, content),
                 new CompareWindow(*window, content, window->GetPages(), window->GetConnection())}) {
            dialog->Show();
            Pump();
            ExpectTextsFit(dialog, dialog->GetScreenRect().Inflate(3), code + (" " + dialog->GetName()));
        }
        const int pages = static_cast<int>(Ctrl<wxNotebook>(window, "ID_NOTEBOOK1")->GetPageCount());
        for (int page = 0; page < pages; ++page) {
            if (page > 0) {
                Close(window);
                window = OpenAtFirstStart(page);
            }
            wxWindow* room = Ctrl<wxNotebook>(window, "ID_NOTEBOOK1")->GetPage(page);
            ASSERT_FALSE(room->GetChildren().empty()) << code << " page " << page << " built when shown";
            // A page wider than the window grows it, once the display has
            // answered the new size, which a loaded machine does late.
            RunEventsUntil(
                [room] { return !room->GetSizer() || room->GetSize().x >= room->GetSizer()->GetMinSize().x; },
                3000);
            Pump();
            ExpectTextsFit(room, room->GetScreenRect().Inflate(3), code + (" " + room->GetName()));
        }
        Close(window);
    }
}

}  // namespace
