// Texts the History and Compare windows show of a kept entry, in the user's
// language; the entry keeps them in English.
#pragma once

#include <wx/string.h>

#include "history/HistoryStore.h"
#include "history/LabelLanguage.h"

// The names of fields and sources in the language of the program's catalogue.
const LabelLanguage& CatalogueLabels();

// "2026-12-08 07:17:35" in local time.
wxString EntryTimeText(const HistoryRecord& record);
// "read", "Unit VT000001", translated.
wxString EntryEventText(const HistoryRecord& record);
wxString EntrySourceText(const HistoryRecord& record);
// "2026-12-08 07:17:35 read, Unit VT000001"
wxString EntryTitle(const HistoryEntry& entry);
