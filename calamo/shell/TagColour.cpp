#include "TagColour.h"

#include "TextEditor.h"

namespace calamo {

std::vector<TextRange> tagRanges(QStringView text)
{
    std::vector<TextRange> ranges;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'<', from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'>', open);
        if (close < 0)
            break;
        ranges.push_back({static_cast<int>(open), static_cast<int>(close + 1 - open)});
        from = close + 1;
    }
    return ranges;
}

void ColoraTag(TextEditor& editor)
{
    const int caret = editor.selectionStart();
    editor.colourRanges(tagRanges(editor.text()), kTagColour);
    editor.setCaret(caret);
    editor.setTypingColour(kTypingColour);
}

}  // namespace calamo
