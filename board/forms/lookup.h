// The dictionary look-up on the board: the dictionary list jList filled from "dic.txt" at start-up, and the
// search of that list for a circled word. The canvas's pen handlers that draw the look-up path are
// SlatewiseForm's MainPictureMouseDown/Move/Up (lookup.cpp).
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "board/dictionary/dictionary.h"

class QListWidget;

namespace sw::board {

// Clears `list` and appends the lines of the dictionary file at `path`, one item per line, as
// readDictionaryFile reads them (line ends, code page 932, limits). A file that is missing or cannot be read
// leaves the list empty. Nothing is reported.
void loadDictionary(QListWidget& list, const QString& path);

// The first item of `list` that is a dictionary line with `word` as its first or second key (lookUpWord's
// rules, on the items' texts in list order). Nothing for an empty word or when no item matches. The items'
// texts are cached in a child object of the list until its items change.
std::optional<DictionaryMatch> lookUpList(QListWidget& list, QStringView word);

}  // namespace sw::board
