// Answers the program's art ids with icons from "images.zip" in the working
// directory: <size>/<name>.ico, size "64x64", "32x32" or (for any other request) "16x16".
#pragma once

#include <wx/artprov.h>

// The program's own art ids, in the toolkit's style.
#define wxART_READ wxART_MAKE_ART_ID(wxART_READ)
#define wxART_WRITE wxART_MAKE_ART_ID(wxART_WRITE)
#define wxART_CONNECT wxART_MAKE_ART_ID(wxART_CONNECT)
#define wxART_FILL_DOWN wxART_MAKE_ART_ID(wxART_FILL_DOWN)
#define wxART_LOCK wxART_MAKE_ART_ID(wxART_LOCK)

class ArtProvider : public wxArtProvider {
protected:
    // Null bitmap for an id of another provider or when the icon cannot be loaded.
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient& client, const wxSize& size) override;
};
