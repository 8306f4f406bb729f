// The windows in the program's languages: the suite runs under C and
// en_US.UTF-8 (English), de_DE.UTF-8 and it_IT.UTF-8, told by
// VANTREL_EXPECTED_LANGUAGE which texts to expect; and, once (where
// VANTREL_FIT_EVERY_LANGUAGE is set), every page and dialog built in every
// language with each control's text in its room.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/grid.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/translation.h>

#include "GuiTestSupport.h"
#include "gui/commands/ConnectionDialog.h"
#include "gui/commands/FwUpdateDialog.h"
#include "gui/history/CompareWindow.h"
#include "gui/history/HistoryWindow.h"
#include "session/ProgramLanguage.h"

namespace {

// Texts of each kind of place, from the catalogues by hand.
struct Texts {
    const char* editMenu;      // a menu of the layout
    const char* shifterTab;    // a notebook tab
    const char* warmUpRun;     // a check box of a page
    const char* loggingStart;  // a button the code makes
    const char* rawFirstRow;   // a row of a table the code fills
    const char* boxCaption;    // the Language message box
    const char* boxMessage;
};

const std::map<std::string, Texts> kTexts = {
    {"en",
     {"Edit", "Shifter", "Run warm-up now (connected unit only)", "Start logging", "rpm period", "Language",
      "The new language applies the next time VantrelStudio starts."}},
    {"de",
     {"Bearbeiten", "Schaltautomat", "Warmlauf jetzt starten (nur verbundenes Steuergerät)",
      "Aufzeichnung starten", "Drehzahlperiode", "Sprache",
      "Die neue Sprache gilt ab dem nächsten Start von VantrelStudio."}},
    {"it",
     {"Modifica", "Quickshifter", "Avvia ora il riscaldamento (solo centralina collegata)",
      "Avvia registrazione", "periodo giri", "Lingua",
      "La nuova lingua vale dal prossimo avvio di VantrelStudio."}},
};

std::string Utf8(const wxString& text)
{
    return text.utf8_string();
}

class Translated : public OnVirtualBus {
protected:
    const Texts& Expected()
    {
        const char* language = std::getenv("VANTREL_EXPECTED_LANGUAGE");
        const auto found = kTexts.find(language ? language : "en");
        EXPECT_NE(found, kTexts.end()) << "no texts for " << (language ? language : "en");
        return found == kTexts.end() ? kTexts.at("en") : found->second;
    }
};

TEST_F(Translated, MenusTabsLabelsTablesAndMessageBoxes)
{
    const Texts& texts = Expected();
    EXPECT_EQ(Utf8(frame->GetMenuBar()->GetMenuLabelText(1)), texts.editMenu);
    auto* notebook = Ctrl<wxNotebook>(frame, "ID_NOTEBOOK1");
    ASSERT_NE(notebook, nullptr);
    EXPECT_EQ(Utf8(notebook->GetPageText(1)), texts.shifterTab);
    EXPECT_EQ(Utf8(Ctrl<wxCheckBox>(frame, "ID_CHECKBOX1")->GetLabel()), texts.warmUpRun);
    EXPECT_EQ(Utf8(Ctrl<wxButton>(frame, "ID_BUTTON_LOGGING")->GetLabel()), texts.loggingStart);
    EXPECT_EQ(Utf8(Ctrl<wxGrid>(frame, "ID_GRID1")->GetRowLabelValue(0)), texts.rawFirstRow);

    // Options > Language: the system's at first; a choice is kept and the
    // box says when it applies. The window keeps its language.
    EXPECT_TRUE(MenuItem(frame, "idLanguageSystem")->IsChecked());
    {
        ModalAnswerer answers(wxID_OK);
        MenuItem(frame, "idLanguageFrench")->Check(true);
        RunMenuCommand(frame, "idLanguageFrench");
        ASSERT_EQ(answers.shown.size(), 1u);
        EXPECT_EQ(Utf8(answers.shown[0].caption), texts.boxCaption);
        EXPECT_EQ(Utf8(answers.shown[0].message), texts.boxMessage);
        EXPECT_EQ(UserSettings().ReadLanguage(), "fr");
        RunMenuCommand(frame, "idLanguageFrench");
        EXPECT_EQ(answers.shown.size(), 1u) << "the same choice again says nothing";
    }
    EXPECT_EQ(Utf8(frame->GetMenuBar()->GetMenuLabelText(1)), texts.editMenu);
    UserSettings().Forget("Language");
    MenuItem(frame, "idLanguageSystem")->Check(true);
}

// Controls whose text must show whole: each at least as large as its best
// size, a static box at least as wide as its caption, and inside the page
// or dialog (`room`, in screen coordinates).
void CollectCutTexts(wxWindow* window, const wxRect& room, const std::string& where,
                     std::vector<std::string>& cut)
{
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown() || child->IsTopLevel())
            continue;
        const bool texted = wxDynamicCast(child, wxStaticText) || wxDynamicCast(child, wxButton) ||
                            wxDynamicCast(child, wxCheckBox) || wxDynamicCast(child, wxRadioButton) ||
                            wxDynamicCast(child, wxChoice) || wxDynamicCast(child, wxRadioBox);
        const wxSize size = child->GetSize();
        wxSize needed = texted ? child->GetBestSize() : wxSize();
        if (auto* box = wxDynamicCast(child, wxStaticBox))
            needed = wxSize(box->GetTextExtent(box->GetLabelText()).x, 0);
        // Across for every window; down for the texts only, since a map's
        // box may reach below a short window (its grid scrolls).
        const wxRect rect = child->GetScreenRect();
        const bool inside =
            rect.GetLeft() >= room.GetLeft() && rect.GetRight() <= room.GetRight() &&
            (!texted || (rect.GetTop() >= room.GetTop() && rect.GetBottom() <= room.GetBottom()));
        if (needed.x > size.x || needed.y > size.y || !inside) {
            const wxString text = wxDynamicCast(child, wxChoice)
                                      ? wxDynamicCast(child, wxChoice)->GetStringSelection()
                                      : child->GetLabel();
            cut.push_back(wxString::Format("%s: %s \"%s\" needs %dx%d, has %dx%d at %d,%d in %d,%d %dx%d",
                                           where, child->GetName(), text, needed.x, needed.y, size.x, size.y,
                                           rect.x, rect.y, room.x, room.y, room.width, room.height)
                              .utf8_string());
        }
        CollectCutTexts(child, room, where, cut);
    }
}

void ExpectAllTextsFit(wxWindow* window, const std::string& where)
{
    window->Show();
    window->Layout();
    Pump();
    std::vector<std::string> cut;
    // A static box reaches a pixel or two past the page it fills.
    CollectCutTexts(window, window->GetScreenRect().Inflate(3), where, cut);
    for (const std::string& line : cut)
        ADD_FAILURE() << line;
}

TEST_F(Translated, EveryPageAndDialogShowsItsTextsWholeInEveryLanguage)
{
    if (std::getenv("VANTREL_FIT_EVERY_LANGUAGE") == nullptr)
        GTEST_SKIP() << "once, in the run that sets VANTREL_FIT_EVERY_LANGUAGE";
    const std::vector<wxString> folders = CatalogueFolders({VANTREL_GUI_DIR});
    for (const char* code : {"en", "de", "it", "fr", "es"}) {
        SCOPED_TRACE(code);
        UseProgramLanguage(code, folders);
        PagesOnDemand allAtOnce(false);
        auto* window = new VTX_GUIFrame(nullptr);
        window->Show();
        Pump();
        auto* notebook = Ctrl<wxNotebook>(window, "ID_NOTEBOOK1");
        ASSERT_NE(notebook, nullptr);
        for (size_t page = 0; page < notebook->GetPageCount(); ++page) {
            notebook->SetSelection(page);
            ExpectAllTextsFit(notebook->GetPage(page),
                              std::string(code) + " page " + Utf8(notebook->GetPageText(page)));
        }
        std::vector<wxWindow*> dialogs = {
            new ConnectionDialog(window),
            new FwUpdateDialog(_("Firmware update"), wxEmptyString, 100, window),
            new HistoryWindow(*window, window->GetEditorContent()),
            new CompareWindow(*window, window->GetEditorContent(), window->GetPages(),
                              window->GetConnection()),
        };
        for (wxWindow* dialog : dialogs) {
            ExpectAllTextsFit(dialog, std::string(code) + " " + Utf8(dialog->GetLabel()));
            dialog->Destroy();
        }
        {
            ModalAnswerer quiet;
            window->Destroy();
            Pump();
        }
    }
    UseProgramLanguage("", folders);
}

}  // namespace
