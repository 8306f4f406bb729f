#include "XTestInput.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <wx/eventfilter.h>
#include <wx/grid.h>
#include <wx/settings.h>
#include <wx/spinctrl.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include "AppRun.h"

namespace xtest {

namespace {

// A connection of our own: the server injects the events, the toolkit
// receives them on its connection like any other input.
Display* Connection()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

// Sends what was queued and waits until the server has handled it.
void Flush()
{
    XSync(Connection(), False);
}

bool WindowManagerRuns()
{
    Display* display = Connection();
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &remaining, &data);
    const bool found = status == Success && type == XA_WINDOW && count == 1;
    if (data)
        XFree(data);
    return found;
}

void Key(KeySym symbol, bool press)
{
    Display* display = Connection();
    const KeyCode code = XKeysymToKeycode(display, symbol);
    if (code == 0)
        return;
    XTestFakeKeyEvent(display, code, press ? True : False, CurrentTime);
    Flush();
}

void Button(bool press)
{
    XTestFakeButtonEvent(Connection(), 1, press ? True : False, CurrentTime);
}

KeySym SymbolOf(wxUniChar ch)
{
    switch (ch.GetValue()) {
        case ' ':
            return XK_space;
        case '\t':
            return XK_Tab;
        case '\n':
            return XK_Return;
        default:
            return static_cast<KeySym>(ch.GetValue());  // Latin-1 keysyms are their code points
    }
}

// Counts the mouse button events that reach the toolkit's windows, so that
// a click is known to be handled before the pointer moves on.
class ButtonEventCounter : public wxEventFilter {
public:
    ButtonEventCounter() { wxEvtHandler::AddFilter(this); }
    ~ButtonEventCounter() override { wxEvtHandler::RemoveFilter(this); }
    int FilterEvent(wxEvent& event) override
    {
        if (event.GetEventType() == wxEVT_LEFT_UP)
            ++ups;
        else if (event.GetEventType() == wxEVT_LEFT_DCLICK)
            ++doubleClicks;
        return Event_Skip;
    }
    int ups = 0;
    int doubleClicks = 0;
};

ButtonEventCounter& ButtonEvents()
{
    static ButtonEventCounter counter;
    return counter;
}

int DoubleClickTime()
{
    const int time = wxSystemSettings::GetMetric(wxSYS_DCLICK_MSEC);
    return time > 0 ? time : 400;
}

}  // namespace

bool Available()
{
    Display* display = Connection();
    int event = 0, error = 0, major = 0, minor = 0;
    return display && XTestQueryExtension(display, &event, &error, &major, &minor);
}

void MovePointer(const wxPoint& screen)
{
    XTestFakeMotionEvent(Connection(), -1, screen.x, screen.y, CurrentTime);
    Flush();
    RunEventsFor(20);
}

void MovePointer(wxWindow* window)
{
    const wxRect rect = window->GetScreenRect();
    MovePointer(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
}

void Click()
{
    const int ups = ButtonEvents().ups;
    Button(true);
    Button(false);
    Flush();
    RunEventsUntil([ups] { return ButtonEvents().ups > ups; }, 1000);
    RunEventsFor(30);
}

void Drag(const wxPoint& from, const wxPoint& to)
{
    MovePointer(from);
    Button(true);
    Flush();
    RunEventsFor(30);
    for (int step = 1; step <= 4; ++step)
        MovePointer(from + (to - from) * step / 4);
    Button(false);
    Flush();
    RunEventsFor(50);
}

wxPoint CellCentre(wxGrid* grid, int row, int col)
{
    const wxRect cell = grid->CellToRect(row, col);
    const wxPoint inWindow = grid->CalcScrolledPosition(cell.GetTopLeft());
    return grid->GetGridWindow()->ClientToScreen(inWindow + wxPoint(cell.width / 2, cell.height / 2));
}

void TypeIntoCell(wxGrid* grid, int row, int col, const wxString& text)
{
    Click(CellCentre(grid, row, col));
    TypeText(text);
    PressKeys("Return");
    RunEventsUntil([grid] { return !grid->IsCellEditControlShown(); }, 1000);
}

void ClickSpinArrow(wxSpinCtrl* spin, int direction)
{
    const wxRect rect = spin->GetScreenRect();
    const int fromRight = direction > 0 ? rect.height / 2 : rect.height * 3 / 2;
    Click(wxPoint(rect.GetRight() - fromRight, rect.y + rect.height / 2));
}

void Click(wxWindow* window)
{
    MovePointer(window);
    Click();
}

void Click(const wxPoint& screen)
{
    MovePointer(screen);
    Click();
}

void DoubleClick(const wxPoint& screen)
{
    MovePointer(screen);
    const auto start = std::chrono::steady_clock::now();
    const int doubleClicks = ButtonEvents().doubleClicks;
    for (int click = 0; click < 2; ++click) {
        Button(true);
        Button(false);
    }
    Flush();
    RunEventsUntil([doubleClicks] { return ButtonEvents().doubleClicks > doubleClicks; }, 2000);
    // A press within two double-click times of the pair's first one would
    // make it a triple click.
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    RunEventsFor(std::max<int>(0, 2 * DoubleClickTime() + 50 - static_cast<int>(elapsed.count())));
}

void DoubleClick(wxWindow* window)
{
    const wxRect rect = window->GetScreenRect();
    DoubleClick(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
}

void TypeText(const wxString& text)
{
    Display* display = Connection();
    for (wxUniChar ch : text) {
        const KeySym symbol = SymbolOf(ch);
        const KeyCode code = XKeysymToKeycode(display, symbol);
        const bool shifted = code != 0 && XkbKeycodeToKeysym(display, code, 0, 0) != symbol;
        if (shifted)
            Key(XK_Shift_L, true);
        Key(symbol, true);
        Key(symbol, false);
        if (shifted)
            Key(XK_Shift_L, false);
        RunEventsFor(15);
    }
}

void PressKeys(const wxString& combination)
{
    std::vector<KeySym> keys;
    wxString rest = combination;
    while (rest.Contains("+") && rest.length() > 1) {
        const wxString modifier = rest.BeforeFirst('+');
        rest = rest.AfterFirst('+');
        if (modifier == "Ctrl")
            keys.push_back(XK_Control_L);
        else if (modifier == "Shift")
            keys.push_back(XK_Shift_L);
        else if (modifier == "Alt")
            keys.push_back(XK_Alt_L);
    }
    // A single letter names its key, not the shifted character.
    keys.push_back(rest.length() == 1 ? SymbolOf(rest.Lower()[0]) : XStringToKeysym(rest.utf8_str()));
    for (KeySym key : keys)
        Key(key, true);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        Key(*key, false);
    RunEventsFor(50);
}

bool ShowAndActivate(wxTopLevelWindow* window)
{
    window->Show();
    window->Raise();
    const bool ready = !WindowManagerRuns() || RunEventsUntil([window] { return window->IsActive(); });
    // Let the first drawing and the layout settle.
    RunEventsFor(200);
    return ready;
}

}  // namespace xtest
