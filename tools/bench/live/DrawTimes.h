// Where the toolkit's drawing goes: the CPU time of every widget's "draw"
// signal under a top-level window, with and without its children, while the
// object lives. GTK draws a widget only where it meets the area to repaint,
// so the table also shows which widgets each repaint reaches.
#pragma once

#include <gtk/gtk.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class wxWindow;

class DrawTimes {
public:
    explicit DrawTimes(wxWindow* top);
    ~DrawTimes();
    DrawTimes(const DrawTimes&) = delete;
    DrawTimes& operator=(const DrawTimes&) = delete;

    // The widgets that took at least `leastMs` of their own drawing, dearest
    // first, as milliseconds per second of `seconds`.
    void Print(std::FILE* out, double seconds, double leastMs) const;

    void Started(GtkWidget* widget);
    void Ended(GtkWidget* widget);

private:
    struct Open {
        GtkWidget* widget;
        double started;
        double children;
    };
    struct Total {
        double own = 0;
        double withChildren = 0;
        int draws = 0;
    };
    std::string Name(GtkWidget* widget) const;

    std::map<GtkWidget*, std::string> wxNames;  // the widgets of wx windows
    std::vector<Open> open;
    std::map<std::string, Total> totals;
    double topLevel = 0;
    unsigned long hook = 0;
};
