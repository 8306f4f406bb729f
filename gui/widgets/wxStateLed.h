// A 17x17 LED that shows one colour per numbered state, drawn from an XPM image.
#pragma once

#include <wx/colour.h>
#include <wx/thread.h>
#include <wx/window.h>

#include <cstdint>
#include <map>

class wxBitmap;

class wxStateLed : public wxWindow {
public:
    wxStateLed() = default;
    // Creates the window at once (default position, 17x17, name "wxStateLed").
    wxStateLed(wxWindow* parent, wxWindowID id, const wxColour& disableColour);
    ~wxStateLed() override;

    bool Create(wxWindow* parent, wxWindowID id, const wxColour& disableColour,
                const wxPoint& pos = wxDefaultPosition, const wxString& name = "wxStateLed");

    // Inserts or replaces the colour of a state; the LED is not redrawn.
    void SetColour(int32_t state, const wxColour& colour);
    // Shows the colour of the state, or the disable colour when the state has none.
    // Setting the current state again does nothing, so a poll loop may call it freely.
    void SetState(int32_t state);
    int32_t GetState() const { return m_state; }

    // Lights (true) or darkens (false) the LED without touching the window's own
    // enabled flag: an unlit LED must still be shown, not greyed out by the toolkit.
    // Returns whether the LED changed between lit and unlit drawing.
    bool Enable(bool enable = true) override;

    void SetDisableColour(const wxColour& colour);
    const wxColour& GetDisableColour() const { return m_disableColour; }

    bool IsLit() const { return m_lit; }
    // The image last drawn (null bitmap before the first draw).
    wxBitmap GetBitmap();

protected:
    wxSize DoGetBestSize() const override { return wxSize(kSize, kSize); }

private:
    static constexpr int kSize = 17;

    void Draw(const wxColour& colour);
    void OnPaint(wxPaintEvent& event);

    wxColour m_disableColour{128, 128, 128};
    std::map<int32_t, wxColour> m_colours;
    int32_t m_state = -1;
    bool m_lit = false;
    wxBitmap* m_bitmap = nullptr;
    wxMutex m_bitmapLock;

    wxDECLARE_DYNAMIC_CLASS(wxStateLed);
    wxDECLARE_EVENT_TABLE();
};
