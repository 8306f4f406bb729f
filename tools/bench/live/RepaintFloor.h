// What the toolkit alone asks for showing a change ten times a second: a bare
// frame beside the main window, with nothing of the program in it.
#pragma once

class wxWindow;

// Three turns of `seconds` each on one 100 ms timer: the timer alone; one
// read-only text field given a new number each tick; one small window of its
// own drawing refreshed each tick. Prints each turn's main-thread CPU beyond
// the timer alone; `hide` (the main window) is hidden meanwhile.
int RepaintFloor(int seconds, wxWindow* hide);
