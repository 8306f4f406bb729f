// The language the history's names are shown in. Their texts are English,
// marked where they are written (wxTRANSLATE, and TranslatePlural's two forms)
// so that tools/update-translations.sh puts them in the catalogues. vantrel,
// the files and the settings keep the English; the window passes its
// catalogue's language.
#pragma once

#include <string>

class LabelLanguage {
public:
    virtual ~LabelLanguage() = default;
    // The text in this language; English gives it back.
    virtual std::string Translate(const char* english) const { return english; }
    // `one` or `many` in this language's form for the count n.
    virtual std::string TranslatePlural(const char* one, const char* many, unsigned long n) const
    {
        return n == 1 ? one : many;
    }
};

// The English the texts are written in.
inline const LabelLanguage& EnglishLabels()
{
    static const LabelLanguage english;
    return english;
}
