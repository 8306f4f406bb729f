#include "HistoryTexts.h"

#include <wx/datetime.h>

wxString EntryTimeText(const HistoryRecord& record)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.time.time_since_epoch()).count();
    return wxDateTime(wxLongLong(ms)).Format("%Y-%m-%d %H:%M:%S");
}

wxString EntryTitle(const HistoryEntry& entry)
{
    wxString title = EntryTimeText(entry.record) + " " + wxString::FromUTF8(entry.record.event);
    if (!entry.record.source.empty())
        title += ", " + wxString::FromUTF8(entry.record.source);
    return title;
}
