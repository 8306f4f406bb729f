#include "WidgetTestSupport.h"

#include <wx/image.h>

#include "gui/widgets/wxStateLed.h"

wxColour LedCentreColour(wxStateLed& led)
{
    const wxBitmap bitmap = led.GetBitmap();
    if (!bitmap.IsOk()) {
        return wxColour();
    }
    const wxImage image = bitmap.ConvertToImage();
    if ((image.HasMask() && image.IsTransparent(8, 8)) || (image.HasAlpha() && image.GetAlpha(8, 8) == 0)) {
        return wxColour();
    }
    return wxColour(image.GetRed(8, 8), image.GetGreen(8, 8), image.GetBlue(8, 8));
}

TestFrame::TestFrame()
    : m_frame(new wxFrame(nullptr, wxID_ANY, "widget test", wxDefaultPosition, wxSize(640, 480)))
{
    m_frame->Show();
}

TestFrame::~TestFrame()
{
    m_frame->Destroy();
    RunEventsFor(10);
}
