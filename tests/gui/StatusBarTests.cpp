// The status bar's LED: the colour of each state of the connection
// (session/CommandEnabling names them), and its place in the bar.
#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "gui/widgets/MyStatusBar.h"
#include "gui/widgets/wxStateLed.h"
#include "session/CommandEnabling.h"

namespace {

wxPoint CentredIn(const wxRect& field, const wxSize& led)
{
    return wxPoint(field.x + (field.width - led.GetWidth()) / 2,
                   field.y + (field.height - led.GetHeight()) / 2);
}

TEST(MyStatusBar, LedColoursOfTheConnectionStates)
{
    TestFrame frame;
    auto* bar = new MyStatusBar(frame.get(), wxID_ANY, wxSTB_SIZEGRIP);
    frame->SetStatusBar(bar);
    wxStateLed& led = *bar->GetLed();
    const struct {
        int state;
        wxColour colour;
    } cases[] = {{static_cast<int>(ConnectionLed::Unlit), wxColour(255, 0, 0)},
                 {static_cast<int>(ConnectionLed::Bootloader), wxColour(255, 165, 0)},
                 {static_cast<int>(ConnectionLed::UnitReady), wxColour(0, 255, 0)},
                 {3, wxColour(128, 128, 128)},
                 {-1, wxColour(128, 128, 128)}};
    for (const auto& c : cases) {
        bar->SetLedState(c.state);
        EXPECT_EQ(led.GetState(), c.state);
        EXPECT_EQ(LedCentreColour(led), c.colour) << "state " << c.state;
    }
}

// Two fields, the LED in the narrow one, centred there whatever the window's size.
TEST(MyStatusBar, LedSitsCentredInTheNarrowSecondField)
{
    TestFrame frame;
    auto* bar = new MyStatusBar(frame.get(), wxID_ANY, wxSTB_SIZEGRIP);
    frame->SetStatusBar(bar);
    ASSERT_EQ(bar->GetFieldsCount(), 2);
    EXPECT_EQ(bar->GetStatusWidth(0), -1);
    EXPECT_EQ(bar->GetStatusWidth(1), 32);
    ASSERT_NE(bar->GetLed(), nullptr);
    wxStateLed& led = *bar->GetLed();
    EXPECT_EQ(led.GetParent(), bar);
    EXPECT_GE(bar->GetSize().GetHeight(), 17) << "tall enough for the LED";

    wxRect before;
    for (const wxSize size : {wxSize(500, 300), wxSize(900, 420), wxSize(640, 360)}) {
        frame->SetSize(size);
        RunEventsFor(150);
        wxRect field;
        ASSERT_TRUE(bar->GetFieldRect(1, field));
        EXPECT_NE(field.x, before.x) << "the field moved with the window";
        EXPECT_EQ(led.GetPosition(), CentredIn(field, led.GetSize())) << "window " << size.x << "x" << size.y;
        before = field;
    }
}

}  // namespace
