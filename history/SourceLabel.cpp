#include "SourceLabel.h"

#include <string_view>

#include <wx/string.h>
#include <wx/translation.h>

namespace {

// The words of the sources as the window (session/EditorSession.cpp,
// editor/EditorOrigin.cpp) and vantrel (cli/UnitHistory.cpp) keep them,
// before the serial number, the version or the edited source.
struct SourceWord {
    std::string_view prefix;
    const char* text;
};
constexpr SourceWord kEdited{"Edited ", wxTRANSLATE("Edited %s")};
constexpr SourceWord kWords[] = {
    {"Unit ", wxTRANSLATE("Unit %s")},
    {"Defaults of ", wxTRANSLATE("Defaults of %s")},
};

bool Strip(std::string_view& text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

std::string Put(const LabelLanguage& language, const char* text, std::string_view rest)
{
    return wxString::Format(wxString::FromUTF8(language.Translate(text)),
                            wxString::FromUTF8(rest.data(), rest.size()))
        .utf8_string();
}

}  // namespace

std::string SourceLabel(const HistoryRecord& record, const LabelLanguage& language)
{
    // Open and Save keep the file's name alone, whatever it begins with.
    if (record.event == "open" || record.event == "save")
        return record.source;
    std::string_view rest = record.source;
    const bool edited = Strip(rest, kEdited.prefix);
    std::string label(rest);
    for (const SourceWord& word : kWords) {
        if (Strip(rest, word.prefix)) {
            label = Put(language, word.text, rest);
            break;
        }
    }
    return edited ? Put(language, kEdited.text, label) : label;
}
