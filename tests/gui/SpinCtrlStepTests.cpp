// The stepped spin as a widget: it settles where the stepping rule says
// (editor/SpinSteps, tested without a display) and reports the settled value
// once to the window's handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "WidgetTestSupport.h"
#include "editor/SpinSteps.h"
#include "gui/widgets/SpinCtrlStep.h"

namespace {

// A change by the toolkit: it holds the value within the range, then reports
// it in a spin event of the control (an arrow click moves by its increment).
void MoveTo(SpinCtrlStep& spin, int value)
{
    spin.wxSpinCtrl::SetValue(value);
    wxSpinEvent event(wxEVT_SPINCTRL, spin.GetId());
    event.SetEventObject(&spin);
    event.SetPosition(spin.GetValue());
    spin.ProcessWindowEvent(event);
}

TEST(SpinCtrlStep, ClicksAndTypedValuesSettleWhereTheSteppingRuleSays)
{
    struct Case {
        int min, max, step, settled, moved;  // moved by 1: a click
    };
    const Case cases[] = {{0, 5000, 50, 120, 121},    {0, 5000, 50, 120, 119},
                          {0, 5000, 100, 3050, 3049}, {3000, 10100, 100, 10000, 12000},
                          {300, 1000, 50, 750, 924},  {0, 5000, 50, 100, 101},
                          {0, 5000, 50, 300, 300}};
    for (const Case& c : cases) {
        TestFrame frame;
        auto* spin = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                      wxSP_ARROW_KEYS, c.min, c.max, c.settled);
        std::vector<int> seen;
        frame->Bind(wxEVT_SPINCTRL, [&](wxSpinEvent& event) { seen.push_back(event.GetPosition()); });
        spin->SetStep(c.step);
        spin->SetValue(c.settled);
        MoveTo(*spin, c.moved);
        const std::optional<int32_t> settles = SteppedValue(c.settled, std::clamp(c.moved, c.min, c.max),
                                                            spin->GetIncrement(), c.step, c.min, c.max);
        EXPECT_EQ(spin->GetValue(), settles.value_or(c.settled)) << c.settled << " -> " << c.moved;
        // The window's handler sees the settled value, once; nothing when the value stayed.
        EXPECT_EQ(seen, settles ? std::vector<int>{*settles} : std::vector<int>{})
            << c.settled << " -> " << c.moved;
        // The settled value is the one the next click steps from.
        if (settles && c.moved - c.settled == 1) {
            MoveTo(*spin, *settles + 1);
            EXPECT_EQ(spin->GetValue(), SteppedValue(*settles, *settles + 1, 1, c.step, c.min, c.max));
        }
    }
}

// Both constructors give a step (at least 1); the initial value is the settled one.
TEST(SpinCtrlStep, StepOfBothConstructorsAndAtLeastOne)
{
    TestFrame frame;
    SpinCtrlStep blank;
    EXPECT_EQ(blank.GetStep(), 1);
    for (int step : {0, -5}) {
        blank.SetStep(step);
        EXPECT_EQ(blank.GetStep(), 1) << step;
    }
    auto* full = new SpinCtrlStep(frame.get(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                  wxSP_ARROW_KEYS, 0, 500, 200);
    EXPECT_EQ(full->GetStep(), 10);
    MoveTo(*full, 201);
    EXPECT_EQ(full->GetValue(), 210);
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
    EXPECT_EQ(spin->GetValue(), RoundToStep(137, 50));
    EXPECT_EQ(seen, std::vector<int>{RoundToStep(137, 50)}) << "recorded as it is, not stepped again";

    // The snapped value is now the settled one: the next click steps from it.
    MoveTo(*spin, spin->GetValue() + 1);
    EXPECT_EQ(spin->GetValue(), RoundToStep(137, 50) + 50);

    // Nothing to snap: no event.
    seen.clear();
    spin->SnapToStep();
    EXPECT_TRUE(seen.empty());
}

}  // namespace
