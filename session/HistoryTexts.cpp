#include "HistoryTexts.h"

#include <wx/datetime.h>
#include <wx/translation.h>

#include "history/SourceLabel.h"

namespace {

class Catalogue : public LabelLanguage {
public:
    std::string Translate(const char* english) const override
    {
        return wxGetTranslation(wxString::FromUTF8(english)).utf8_string();
    }
    std::string TranslatePlural(const char* one, const char* many, unsigned long n) const override
    {
        return wxGetTranslation(wxString::FromUTF8(one), wxString::FromUTF8(many), n).utf8_string();
    }
};

}  // namespace

const LabelLanguage& CatalogueLabels()
{
    static const Catalogue catalogue;
    return catalogue;
}

wxString EntryTimeText(const HistoryRecord& record)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.time.time_since_epoch()).count();
    return wxDateTime(wxLongLong(ms)).Format("%Y-%m-%d %H:%M:%S");
}

wxString EntryEventText(const HistoryRecord& record)
{
    return wxGetTranslation(wxString::FromUTF8(record.event));
}

wxString EntrySourceText(const HistoryRecord& record)
{
    return wxString::FromUTF8(SourceLabel(record, CatalogueLabels()));
}

wxString EntryTitle(const HistoryEntry& entry)
{
    wxString title = EntryTimeText(entry.record) + " " + EntryEventText(entry.record);
    if (!entry.record.source.empty())
        title += ", " + EntrySourceText(entry.record);
    return title;
}
