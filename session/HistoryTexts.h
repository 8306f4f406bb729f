// Texts the History and Compare windows show of a kept entry.
#pragma once

#include <wx/string.h>

#include "history/HistoryStore.h"

// "2026-12-08 07:17:35" in local time.
wxString EntryTimeText(const HistoryRecord& record);
// "2026-12-08 07:17:35 read, Unit VT000001"
wxString EntryTitle(const HistoryEntry& entry);
