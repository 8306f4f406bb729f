#include "DrawTimes.h"

#include <wx/window.h>

#include <algorithm>

#include "AppRun.h"

namespace {

DrawTimes* active = nullptr;

// An emission hook runs before every handler of the emission, wx's painting
// included; a handler connected after runs once the widget and its children
// have drawn.
gboolean DrawStarts(GSignalInvocationHint* /*hint*/, guint /*count*/, const GValue* params, gpointer /*data*/)
{
    if (active != nullptr) {
        active->Started(GTK_WIDGET(g_value_get_object(&params[0])));
    }
    return TRUE;
}

gboolean DrawEnds(GtkWidget* widget, cairo_t* /*cr*/, gpointer /*data*/)
{
    if (active != nullptr) {
        active->Ended(widget);
    }
    return FALSE;
}

void ConnectAll(GtkWidget* widget, gpointer /*data*/)
{
    g_signal_connect_after(widget, "draw", G_CALLBACK(DrawEnds), nullptr);
    if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(GTK_CONTAINER(widget), ConnectAll, nullptr);
    }
}

void NameAll(wxWindow* window, std::map<GtkWidget*, std::string>& names)
{
    names[window->GetHandle()] = window->GetName().utf8_string();
    for (wxWindow* child : window->GetChildren()) {
        NameAll(child, names);
    }
}

}  // namespace

DrawTimes::DrawTimes(wxWindow* top)
{
    NameAll(top, wxNames);
    ConnectAll(top->GetHandle(), nullptr);
    hook =
        g_signal_add_emission_hook(g_signal_lookup("draw", GTK_TYPE_WIDGET), 0, DrawStarts, nullptr, nullptr);
    active = this;
}

DrawTimes::~DrawTimes()
{
    active = nullptr;
    g_signal_remove_emission_hook(g_signal_lookup("draw", GTK_TYPE_WIDGET), hook);
}

void DrawTimes::Started(GtkWidget* widget)
{
    open.push_back({widget, ThreadCpuSeconds(), 0});
}

void DrawTimes::Ended(GtkWidget* widget)
{
    // A handler that stops the emission skips the end of its widget: drop
    // what it left open.
    while (!open.empty() && open.back().widget != widget) {
        open.pop_back();
    }
    if (open.empty()) {
        return;
    }
    const Open ended = open.back();
    open.pop_back();
    const double spent = ThreadCpuSeconds() - ended.started;
    if (open.empty()) {
        topLevel += spent;
    } else {
        open.back().children += spent;
    }
    Total& total = totals[Name(widget)];
    total.own += spent - ended.children;
    total.withChildren += spent;
    ++total.draws;
}

std::string DrawTimes::Name(GtkWidget* widget) const
{
    // The type, the nearest wx window's name, and the place in its parent:
    // two widgets of one kind in one window differ by place.
    if (widget == nullptr) {
        return "?";
    }
    GtkWidget* named = widget;
    while (named != nullptr && !wxNames.contains(named)) {
        named = gtk_widget_get_parent(named);
    }
    GtkAllocation place{};
    gtk_widget_get_allocation(widget, &place);
    char text[64];
    std::snprintf(text, sizeof text, " @%d,%d %dx%d", place.x, place.y, place.width, place.height);
    return std::string(G_OBJECT_TYPE_NAME(widget)) + " in " + (named != nullptr ? wxNames.at(named) : "?") +
           text;
}

void DrawTimes::Print(std::FILE* out, double seconds, double leastMs) const
{
    std::vector<std::pair<double, std::string>> dearest;
    for (const auto& [name, total] : totals) {
        dearest.emplace_back(total.own, name);
    }
    std::sort(dearest.rbegin(), dearest.rend());
    std::fprintf(out,
                 "drawing: %.2f %% of a core in all; by widget, ms a second of its own / with its children, "
                 "draws:\n",
                 100.0 * topLevel / seconds);
    for (const auto& [own, name] : dearest) {
        const Total& total = totals.at(name);
        if (1e3 * own / seconds >= leastMs) {
            std::fprintf(out, "  %6.3f / %6.3f  %4d  %s\n", 1e3 * own / seconds,
                         1e3 * total.withChildren / seconds, total.draws, name.c_str());
        }
    }
}
