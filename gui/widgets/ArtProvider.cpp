#include "gui/widgets/ArtProvider.h"

#include <wx/filesys.h>
#include <wx/image.h>
#include <wx/log.h>

#include <array>
#include <memory>
#include <string_view>

namespace {

struct ArtFile {
    std::string_view id;
    std::string_view name;
};

constexpr std::array<ArtFile, 12> kArtFiles{{
    {"wxART_NEW", "new"},
    {"wxART_FILE_OPEN", "open"},
    {"wxART_FILE_SAVE_AS", "save"},
    {"wxART_CONNECT", "connector"},
    {"wxART_READ", "read"},
    {"wxART_WRITE", "write"},
    {"wxART_FILL_DOWN", "fill_down"},
    {"wxART_COPY", "copy"},
    {"wxART_PASTE", "paste"},
    {"wxART_LOCK", "lock"},
    {"wxART_WX_LOGO", "logo"},
    {"wxART_REFRESH", "refresh"},
}};

const char* SizeDirectory(const wxSize& size)
{
    if (size == wxSize(64, 64)) {
        return "64x64";
    }
    if (size == wxSize(32, 32)) {
        return "32x32";
    }
    return "16x16";
}

}  // namespace

wxBitmap ArtProvider::CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize& size)
{
    const char* directory = SizeDirectory(size);
    const std::string idText = id.ToStdString();
    const ArtFile* file = nullptr;
    for (const ArtFile& entry : kArtFiles) {
        if (entry.id == idText) {
            file = &entry;
            break;
        }
    }
    if (!file) {
        return wxNullBitmap;
    }

    const wxString location = wxString::Format("file:images.zip#zip:%s/%s.ico", directory,
                                               wxString(file->name.data(), file->name.size()));
    wxFileSystem fileSystem;
    std::unique_ptr<wxFSFile> fsFile(fileSystem.OpenFile(location, wxFS_READ | wxFS_SEEKABLE));
    if (!fsFile || !fsFile->GetStream()) {
        return wxNullBitmap;
    }
    wxImage image;
    {
        // A damaged icon is not worth a message box: the tool simply shows no image.
        wxLogNull noLog;
        if (!image.LoadFile(*fsFile->GetStream(), wxBITMAP_TYPE_ICO, -1) || !image.IsOk()) {
            return wxNullBitmap;
        }
    }
    return wxBitmap(image, wxBITMAP_SCREEN_DEPTH);
}
