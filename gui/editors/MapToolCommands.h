// The Map submenu of the Edit menu and the map grids' context menu: each map
// tool acts on the selected cells (or the cursor cell) of the map grid that
// has the keyboard focus, on its shown columns only. The arithmetic is
// editor/MapTools; this part finds the cells, asks for values, writes the
// results into the grid like a paste does and hands the change to the undo
// as one step. Its keys work while a map grid has the focus and no cell is
// being typed in.
#pragma once

#include <functional>
#include <vector>

#include <wx/string.h>

#include "editor/MapTools.h"

class wxChoice;
class wxCommandEvent;
class wxGrid;
class wxGridEvent;
class wxKeyEvent;
class wxMenu;
class wxSizer;
class wxWindow;

class MapToolCommands {
public:
    struct Wiring {
        // Where the menu commands are bound (the main window).
        wxWindow& window;
        // A tool changed cells: the undo takes them as a step of this name.
        std::function<void(const wxString& step)> edited;
        // A refused tool says why (the status bar).
        std::function<void(const wxString& text)> say;
    };
    explicit MapToolCommands(Wiring wiring);
    ~MapToolCommands();
    MapToolCommands(const MapToolCommands&) = delete;
    MapToolCommands& operator=(const MapToolCommands&) = delete;

    void BindHandlers();
    // A map grid was set up: its keys, its context menu and the step choice
    // on a line below it, which it gives back for more (null when the grid
    // is in no sizer).
    wxSizer* AttachGrid(wxGrid& grid, MapGridKind kind);

    // The menu item of each tool, by layout name, and the key shown with it.
    struct ToolItem {
        MapTool tool;
        const char* name;   // "idMapIncrease", ...
        const char* label;  // the menu text with its key
    };
    static const std::vector<ToolItem>& Items();
    // The keys of the tools, as Help > Map tool keys lists them.
    static wxString KeysText();
    // The step of Increase and Decrease (1, 2, 5 or 10 ms).
    int Step() const { return step; }

private:
    struct AttachedGrid {
        wxGrid* grid;
        MapGridKind kind;
        wxChoice* stepChoice;
    };
    void OnMenu(wxCommandEvent& event);
    void OnShowKeys(wxCommandEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnContextMenu(wxGridEvent& event);
    void OnStepChosen(wxCommandEvent& event);
    const AttachedGrid* Attached(const wxWindow* window) const;
    // The map grid a key or command is for: the one of the context menu, or
    // the one that has the focus.
    const AttachedGrid* Target() const;
    // A key of a tool: false when the key is none of theirs.
    bool RunKey(wxKeyEvent& event, bool fromChar);
    void Run(MapTool tool, const AttachedGrid& target);
    // Asks for a whole number; false when the user cancels.
    bool AskNumber(const wxString& question, const wxString& caption, long& value);
    wxString CellName(const AttachedGrid& target, int row, int col) const;

    Wiring wiring;
    std::vector<AttachedGrid> grids;
    const AttachedGrid* contextGrid = nullptr;
    int step = kDefaultMapToolStep;
};
