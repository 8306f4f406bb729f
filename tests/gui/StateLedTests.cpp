#include <gtest/gtest.h>

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <string>

#include "WidgetTestSupport.h"
#include "gui/widgets/wxStateLed.h"
#include "gui/widgets/wxStateLedXmlHandler.h"

namespace {

const wxColour kGrey(128, 128, 128);
const wxColour kRed(255, 0, 0);
const wxColour kGreen(0, 255, 0);
const wxColour kBlue(0, 0, 255);

TEST(StateLed, StartsUnlitInNoStateDrawnWithTheDisableColour)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    EXPECT_EQ(led.GetState(), -1);
    EXPECT_FALSE(led.IsLit());
    EXPECT_EQ(LedCentreColour(led), kGrey);
    EXPECT_EQ(led.GetSize(), wxSize(17, 17));
    EXPECT_EQ(led.GetName(), "wxStateLed");
}

TEST(StateLed, ShowsTheColourOfEachStateAndGreyForAStateWithout)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(0, kRed);
    led.SetColour(1, kGreen);
    EXPECT_EQ(LedCentreColour(led), kGrey) << "SetColour alone does not redraw";

    led.SetState(1);
    EXPECT_TRUE(led.IsLit());
    EXPECT_EQ(LedCentreColour(led), kGreen);
    led.SetState(0);
    EXPECT_EQ(LedCentreColour(led), kRed);
    led.SetState(3);
    EXPECT_EQ(led.GetState(), 3);
    EXPECT_EQ(LedCentreColour(led), kGrey);
    EXPECT_TRUE(led.IsLit()) << "a state without colour leaves the lit flag alone";
}

TEST(StateLed, SettingTheCurrentStateAgainDoesNotRedraw)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(1, kRed);
    led.SetState(1);
    led.SetColour(1, kBlue);
    led.SetState(1);
    EXPECT_EQ(LedCentreColour(led), kRed);
    led.SetState(2);
    led.SetState(1);
    EXPECT_EQ(LedCentreColour(led), kBlue);
}

TEST(StateLed, EnableDarkensAndRestoresWithoutTouchingTheWindowFlag)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(2, kGreen);
    led.SetState(2);

    EXPECT_TRUE(led.Disable());
    EXPECT_FALSE(led.IsLit());
    EXPECT_EQ(LedCentreColour(led), kGrey);
    EXPECT_TRUE(led.IsThisEnabled());
    EXPECT_FALSE(led.Enable(false)) << "already unlit";

    EXPECT_TRUE(led.Enable(true));
    EXPECT_TRUE(led.IsLit());
    EXPECT_EQ(LedCentreColour(led), kGreen);
    EXPECT_FALSE(led.Enable(true)) << "already lit";

    // Enabling in a state without colour draws grey and stays unlit.
    led.Disable();
    led.SetState(7);
    EXPECT_TRUE(led.Enable(true));
    EXPECT_FALSE(led.IsLit());
    EXPECT_EQ(LedCentreColour(led), kGrey);
}

TEST(StateLed, NewDisableColourShowsAtTheNextDrawThatUsesIt)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(1, kRed);
    led.SetState(1);
    led.SetDisableColour(kBlue);
    EXPECT_EQ(LedCentreColour(led), kRed);
    led.Disable();
    EXPECT_EQ(LedCentreColour(led), kBlue);
}

TEST(StateLed, InvalidColourDrawsATransparentCentreWithoutFailing)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(4, wxColour());
    led.SetState(4);
    EXPECT_TRUE(led.GetBitmap().IsOk());
    EXPECT_FALSE(LedCentreColour(led).IsOk());
}

TEST(StateLed, RimAndCornersFollowTheImage)
{
    TestFrame frame;
    wxStateLed led(frame.get(), wxID_ANY, kGrey);
    led.SetColour(1, kRed);
    led.SetState(1);
    const wxImage image = led.GetBitmap().ConvertToImage();
    ASSERT_EQ(image.GetWidth(), 17);
    ASSERT_EQ(image.GetHeight(), 17);
    // Row 8 is "---XXXXXXXXXXX___": rim, colour, lower shade.
    EXPECT_EQ(wxColour(image.GetRed(0, 8), image.GetGreen(0, 8), image.GetBlue(0, 8)),
              wxColour(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(wxColour(image.GetRed(3, 8), image.GetGreen(3, 8), image.GetBlue(3, 8)), kRed);
    EXPECT_EQ(wxColour(image.GetRed(16, 8), image.GetGreen(16, 8), image.GetBlue(16, 8)),
              wxColour(0xF8, 0xF8, 0xF8));
    // Row 5 " ---X***XXXXX___ ": highlight at column 5; the corners are transparent.
    EXPECT_EQ(wxColour(image.GetRed(5, 5), image.GetGreen(5, 5), image.GetBlue(5, 5)), *wxWHITE);
    EXPECT_TRUE(image.IsTransparent(0, 0));
    EXPECT_TRUE(image.IsTransparent(16, 16));
}

// ---- XRC creation ----------------------------------------------------------

struct LedNodeCase {
    const char* what;
    const char* body;  // children of the wxStateLed object
    int expectedState;
    bool expectedLit;
    // Colour shown for states 0, 1 and 2 in turn (grey = no colour defined),
    // or, with disable_colour, that colour.
    wxColour shown[3];
};

class StateLedXrc : public testing::TestWithParam<LedNodeCase> {};

std::unique_ptr<wxXmlResource> ResourceFrom(const std::string& objects)
{
    const wxString path = wxFileName::CreateTempFileName("vantrel-led");
    wxFFile file(path, "w");
    file.Write(
        "<?xml version=\"1.0\"?>\n<resource xmlns=\"http://www.wxwidgets.org/wxxrc\" version=\"2.5.3.0\">" +
        wxString(objects) + "</resource>");
    file.Close();
    auto resource = std::make_unique<wxXmlResource>(wxXRC_NO_SUBCLASSING);
    resource->InitAllHandlers();
    resource->AddHandler(new wxStateLedXmlHandler);
    EXPECT_TRUE(resource->Load(path));
    return resource;
}

TEST_P(StateLedXrc, ColoursAndStateComeFromTheColourNode)
{
    const LedNodeCase& c = GetParam();
    TestFrame frame;
    auto resource =
        ResourceFrom(std::string("<object class=\"wxStateLed\" name=\"LED\">") + c.body + "</object>");
    auto* led = wxDynamicCast(resource->LoadObject(frame.get(), "LED", "wxStateLed"), wxStateLed);
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(led->GetName(), "LED");
    EXPECT_EQ(led->GetState(), c.expectedState);
    EXPECT_EQ(led->IsLit(), c.expectedLit);
    for (int state = 0; state < 3; ++state) {
        led->SetState(state);
        EXPECT_EQ(LedCentreColour(*led), c.shown[state]) << "state " << state;
    }
}

const wxColour kOrange(255, 165, 0);

INSTANTIATE_TEST_SUITE_P(
    Nodes, StateLedXrc,
    testing::Values(
        LedNodeCase{"all three",
                    "<colour count='3' current='1'><colour_0>#FF0000</colour_0><colour_1>#FFA500</colour_1>"
                    "<colour_2>#00FF00</colour_2></colour>",
                    1,
                    true,
                    {kRed, kOrange, kGreen}},
        // The second child is compared with the name for state 1 and does not match.
        LedNodeCase{"missing child",
                    "<colour count='3'><colour_0>#FF0000</colour_0><colour_2>#00FF00</colour_2></colour>",
                    0,
                    true,
                    {kRed, kGrey, kGrey}},
        LedNodeCase{"children beyond count",
                    "<colour count='1'><colour_0>#FF0000</colour_0><colour_1>#00FF00</colour_1></colour>",
                    0,
                    true,
                    {kRed, kGrey, kGrey}},
        LedNodeCase{"no count",
                    "<colour current='2'><colour_0>#FF0000</colour_0></colour>",
                    2,
                    false,
                    {kGrey, kGrey, kGrey}},
        LedNodeCase{"no colour node", "", -1, false, {kGrey, kGrey, kGrey}},
        LedNodeCase{"disable colour",
                    "<disable_colour>#0000FF</disable_colour><colour count='1' current='5'>"
                    "<colour_0>#FF0000</colour_0></colour>",
                    5,
                    false,
                    {kRed, kBlue, kBlue}}),
    [](const testing::TestParamInfo<LedNodeCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

TEST(StateLedXrcWindow, HiddenLedIsCreatedHidden)
{
    TestFrame frame;
    auto resource = ResourceFrom("<object class=\"wxStateLed\" name=\"LED\"><hidden>1</hidden></object>");
    auto* led = wxDynamicCast(resource->LoadObject(frame.get(), "LED", "wxStateLed"), wxStateLed);
    ASSERT_NE(led, nullptr);
    EXPECT_FALSE(led->IsShown());
}

}  // namespace
