// Where a kept configuration came from, as the History window names it.
#pragma once

#include <string>

#include "history/HistoryStore.h"
#include "history/LabelLanguage.h"

// The record's source in `language`: "Unit VT000001", "Edited Defaults of
// 1.08" and "Edited shifter-race.vtn" as written, their words translated; a
// file's name stays as it is.
std::string SourceLabel(const HistoryRecord& record, const LabelLanguage& language);
