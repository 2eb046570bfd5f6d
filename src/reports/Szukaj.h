#pragma once
// Finding the next or previous record whose fields contain a text.
#include "common/Messages.h"
#include "data/Dataset.h"

namespace fenwa::reports {

enum class SearchDirection { Up, Down };

// Tests every field of the records after (Down) or before (Up) the current
// one; stops on the first match. Without a match, shows
// "Nie znaleziono "text"." and leaves the cursor on the last (first) record.
bool findNext(data::Dataset &dataset, const QString &text, bool matchCase, SearchDirection direction,
              Messages &messages);

// The text of a field as the search sees it.
QString searchText(const data::Dataset &dataset, int row, int field);

} // namespace fenwa::reports
