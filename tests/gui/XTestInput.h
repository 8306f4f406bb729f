// Real input for the GUI suites: pointer moves, clicks and key presses sent
// through the X server's XTest extension, so that they take the toolkit's
// own routing (which window gets a click, which control has the keyboard),
// and the event loop pumped until their effects are seen.
#pragma once

#include <functional>

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxGrid;
class wxSpinCtrl;
class wxTopLevelWindow;
class wxWindow;

namespace xtest {

// True when the display offers XTest; every other call needs it.
bool Available();

// Moves the pointer to a point on the screen, or to the centre of a window's
// screen rectangle.
void MovePointer(const wxPoint& screen);
void MovePointer(wxWindow* window);

// Left clicks at the pointer, on a window's centre or at a screen point; each
// returns when the toolkit has handled the release.
void Click();
void Click(wxWindow* window);
void Click(const wxPoint& screen);
// A left double click; it returns when the toolkit's double-click time has
// passed, so that the next click starts a new double click.
void DoubleClick(wxWindow* window);
// Presses the left button at `from`, moves in steps to `to` and lets go there.
void Drag(const wxPoint& from, const wxPoint& to);
void DoubleClick(const wxPoint& screen);

// Types text key by key into the window with the keyboard focus (letters,
// digits and the ASCII punctuation of the US layout).
void TypeText(const wxString& text);
// Presses and releases a key with modifiers, e.g. "Ctrl+C", "Return",
// "Ctrl+Shift+Tab", "F5": modifiers Ctrl, Shift and Alt, then one X key name.
void PressKeys(const wxString& combination);

// What a user clicks in the main window's controls: the centre of a grid
// cell on the screen; a cell clicked, typed into and ended with Return; the
// "+" (direction 1) or "-" (-1) button of a spin, which GTK draws at its
// right end, each about as wide as the control is high.
wxPoint CellCentre(wxGrid* grid, int row, int col);
void TypeIntoCell(wxGrid* grid, int row, int col, const wxString& text);
void ClickSpinArrow(wxSpinCtrl* spin, int direction);

// Shows and raises a top-level window, waits until it is active where a
// window manager runs (false on a time-out), then lets it draw itself.
bool ShowAndActivate(wxTopLevelWindow* window);

}  // namespace xtest
