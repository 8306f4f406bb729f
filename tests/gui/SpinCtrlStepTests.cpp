#include <gtest/gtest.h>

#include <vector>

#include "WidgetTestSupport.h"
#include "gui/widgets/SpinCtrlStep.h"

namespace {

// An arrow click: the toolkit moves the value by its own increment (1) and
// then reports the new value in a spin event of the control.
void ClickArrow(SpinCtrlStep& spin, int direction)
{
    const int moved = spin.GetValue() + direction;
    spin.wxSpinCtrl::SetValue(moved);
    wxSpinEvent event(wxEVT_SPINCTRL, spin.GetId());
    event.SetEventObject(&spin);
    event.SetPosition(moved);
    spin.ProcessWindowEvent(event);
}

struct StepCase {
    int settled;
    int step;
    int direction;
    int expected;
};

class SpinStepping : public testing::TestWithParam<StepCase> {};

TEST_P(SpinStepping, ArrowMovesOneWholeStepFromTheSettledValue)
{
    const StepCase& c = GetParam();
    TestFrame frame;
    auto* spin = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, 0, 5000, 0);
    std::vector<int> seen;
    frame->Bind(wxEVT_SPINCTRL, [&](wxSpinEvent& event) { seen.push_back(event.GetPosition()); });
    spin->SetStep(c.step);
    spin->SetValue(c.settled);

    ClickArrow(*spin, c.direction);
    EXPECT_EQ(spin->GetValue(), c.expected);
    EXPECT_EQ(seen, std::vector<int>{c.expected}) << "the window's handler sees the stepped value";
}

// Targets rounded by hand: (target + step/2) / step * step.
INSTANTIATE_TEST_SUITE_P(Clicks, SpinStepping,
                         testing::Values(StepCase{100, 50, +1, 150},       // 150
                                         StepCase{100, 50, -1, 50},        // 50
                                         StepCase{120, 50, +1, 150},       // 170 -> (195/50)*50
                                         StepCase{120, 50, -1, 50},        // 70 -> (95/50)*50
                                         StepCase{700, 10, +1, 710},       // 710
                                         StepCase{3050, 100, -1, 3000}));  // 2950 -> (3000/100)*100

struct TypedCase {
    int min, max, step, settled, typed, expected;
};

class SpinTyping : public testing::TestWithParam<TypedCase> {};

// A typed value arrives as a change by more than the increment: it is kept on
// the nearest multiple of the step inside the range, not stepped from the old one.
TEST_P(SpinTyping, TypedValueStaysOnTheNearestStepInRange)
{
    const TypedCase& c = GetParam();
    TestFrame frame;
    auto* spin = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, c.min, c.max, c.settled);
    std::vector<int> seen;
    frame->Bind(wxEVT_SPINCTRL, [&](wxSpinEvent& event) { seen.push_back(event.GetPosition()); });
    spin->SetStep(c.step);
    spin->SetValue(c.settled);

    spin->wxSpinCtrl::SetValue(c.typed);  // the toolkit holds it within the range
    wxSpinEvent event(wxEVT_SPINCTRL, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(spin->GetValue());
    spin->ProcessWindowEvent(event);
    EXPECT_EQ(spin->GetValue(), c.expected);
    EXPECT_EQ(seen, std::vector<int>{c.expected});
}

INSTANTIATE_TEST_SUITE_P(Typed, SpinTyping,
                         testing::Values(TypedCase{3000, 10100, 100, 10000, 9500, 9500},    // kept
                                         TypedCase{3000, 10100, 100, 10000, 12000, 10100},  // the top
                                         TypedCase{300, 1000, 50, 750, 900, 900},           // kept
                                         TypedCase{300, 1000, 50, 750, 924, 900},           // nearest below
                                         TypedCase{300, 1000, 50, 750, 925, 950},           // half way up
                                         TypedCase{0, 4995, 10, 100, 4996, 4990},  // 5000 is past the top
                                         TypedCase{15, 200, 10, 100, 16, 20},      // 10 is below the bottom
                                         TypedCase{0, 5000, 50, 100, 101,
                                                   150}));  // by the increment: a click

TEST(SpinCtrlStep, DefaultsOfBothConstructors)
{
    TestFrame frame;
    SpinCtrlStep blank;
    EXPECT_EQ(blank.GetStep(), 1);
    auto* full = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, 0, 500, 200);
    EXPECT_EQ(full->GetStep(), 10);
    // The initial value is the settled one: a click steps from 200.
    ClickArrow(*full, +1);
    EXPECT_EQ(full->GetValue(), 210);
}

TEST(SpinCtrlStep, StepIsAtLeastOne)
{
    SpinCtrlStep spin;
    spin.SetStep(0);
    EXPECT_EQ(spin.GetStep(), 1);
    spin.SetStep(-5);
    EXPECT_EQ(spin.GetStep(), 1);
}

TEST(SpinCtrlStep, EventWithTheSettledValueIsSwallowed)
{
    TestFrame frame;
    auto* spin = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, 0, 5000, 0);
    int seen = 0;
    frame->Bind(wxEVT_SPINCTRL, [&](wxSpinEvent&) { ++seen; });
    spin->SetStep(50);
    spin->SetValue(300);
    ClickArrow(*spin, 0);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(spin->GetValue(), 300);
}

TEST(SpinCtrlStep, SnapToStepRoundsAndReportsOnce)
{
    TestFrame frame;
    auto* spin = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, 0, 5000, 0);
    std::vector<int> seen;
    frame->Bind(wxEVT_SPINCTRL, [&](wxSpinEvent& event) { seen.push_back(event.GetPosition()); });
    spin->SetStep(50);
    spin->SetValue(100);
    spin->wxSpinCtrl::SetValue(137);  // typed in by the user

    spin->SnapToStep();
    EXPECT_EQ(spin->GetValue(), 150);
    EXPECT_EQ(seen, std::vector<int>{150}) << "recorded as it is, not stepped again";

    // 150 is now the settled value: the next click goes to 200.
    ClickArrow(*spin, +1);
    EXPECT_EQ(spin->GetValue(), 200);

    // Nothing to snap: no event.
    seen.clear();
    spin->SnapToStep();
    EXPECT_TRUE(seen.empty());
}

}  // namespace
