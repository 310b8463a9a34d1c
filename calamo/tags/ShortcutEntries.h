#pragma once

#include <QStringList>
#include <QStringView>

#include <optional>

namespace calamo {

// The entries of the shortcut editor's list, in order; the empty items separate groups. An item begins with its
// entry number in two digits.
const QStringList& shortcutItems();

// The shortcut editor's help text, line by line.
const QStringList& shortcutHelpLines();

// The entry number (1..50) that a list item begins with; empty for a separator or any other text.
std::optional<int> shortcutEntryOf(QStringView item);

}  // namespace calamo
