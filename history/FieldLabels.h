// The names people read for the fields of a configuration record, as the
// window labels them: "Shift light on at", "Closed throttle", "Blipper map,
// 7,000 rpm, gear 2". The settings keys (FieldDifference::name) stay the
// names for scripts and files. Each in English unless a language is given
// (the window's); the numbers keep their English form in every language.
#pragma once

#include <string>

#include "config/DeviceConfiguration.h"
#include "history/LabelLanguage.h"
#include "history/RecordDiff.h"

// The label of a field of the record; empty for a field no one edits (the
// reserved one).
std::string FieldLabel(const RecordField& field, const LabelLanguage& language = EnglishLabels());
// The label of a scalar field.
std::string FieldLabel(ConfigField field, const LabelLanguage& language = EnglishLabels());
// "Shifter map, gear 3": a row of a map field.
std::string MapRowLabel(const RecordField& field, const LabelLanguage& language = EnglishLabels());

// "Shifter map, gear 3: 4 cells; Closed throttle 700 → 750", each value as
// "theirs → ours": DiffRecords(newer, older) tells what changed. "no change"
// when empty.
std::string SummarizeDifferences(const std::vector<FieldDifference>& differences,
                                 const LabelLanguage& language = EnglishLabels());
