// Helpers shared by the widget tests.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/frame.h>

#include "AppRun.h"

class wxStateLed;

// The colour of the LED's centre pixel (the 'X' part of the image) in the image
// it drew last; an invalid colour when that pixel is transparent.
wxColour LedCentreColour(wxStateLed& led);

// A shown top-level frame that is destroyed with the fixture.
class TestFrame {
public:
    TestFrame();
    ~TestFrame();
    wxFrame* operator->() const { return m_frame; }
    wxFrame* get() const { return m_frame; }

private:
    wxFrame* m_frame;
};
