#pragma once

#include "TextSearch.h"

#include <QColor>
#include <QString>

#include <vector>

namespace calamo {

class EditorControl;

// Colour of the tags painted by "Colora tag".
inline const QColor kTagColour{0, 0, 200};

// "Colora tag": paints every tag of the editor's text (see tagSpans) in the tag colour, as character formats that
// move with the text and are never saved. The caret goes back to where the selection started, nothing selected,
// and typing there takes the editor's default colour. One undo step; the editor's modified state is kept, since
// no character changed.
void colourTags(EditorControl& editor);

// Selects the first occurrence of `what` at or after `from`, ignoring case. False, with the selection kept,
// when there is none.
bool selectNext(EditorControl& editor, const QString& what, int from);

// Replace all: replaces each occurrence of `what` that findText meets searching on from the end of the one before,
// as edits of those spans only, undone as one step. Afterwards the caret is at the start, as after the text was
// set anew. The number of replacements; nothing changes when it is 0 or `what` is empty.
int replaceAll(EditorControl& editor, const QString& what, const QString& with);

// Makes `edits` (offsets into `text`, the editor's text; ascending, not overlapping) as edits of those spans
// only, undone as one step; each replacement takes the text colour of what it replaces. The caret keeps its
// place in the text, nothing selected. Nothing changes when `edits` is empty.
void replaceSpans(EditorControl& editor, const QString& text, const std::vector<TextReplacement>& edits);

// Puts `text` in place of the selection (at the caret when nothing is selected) as one undo step, the caret
// after it.
void replaceSelection(EditorControl& editor, const QString& text);

}  // namespace calamo
