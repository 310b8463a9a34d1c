#pragma once

#include <QString>

#include <vector>

namespace calamo {

class Prompts;
class TextEditor;

// The editor's forward search: letters match whatever their case, accented ones included. The offset of the
// first occurrence of `needle` at or after `from`, or -1. An empty needle is found nowhere.
int findText(QStringView text, QStringView needle, int from);

// Where Replace all replaces: every occurrence from the start, each search going on after the one before (so
// occurrences do not overlap, and a replacement holding the needle is never searched again).
std::vector<int> occurrences(QStringView text, QStringView needle);

inline const QString kNotFound = QStringLiteral("Non è possibile trovare il testo specificato.");

// Find (from offset 0) and Find next (from the end of the selection): selects the occurrence, or warns and
// leaves the selection as it was. True when found.
bool findAndSelect(TextEditor& editor, const QString& needle, int from, Prompts& prompts);

// Replaces every occurrence as one step the user undoes at once, in time linear in the text; the caret goes to
// the start when anything was replaced. The number of replacements.
int replaceAll(TextEditor& editor, const QString& needle, const QString& replacement);

}  // namespace calamo
