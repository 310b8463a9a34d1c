#include "TagScan.h"

namespace calamo {

std::vector<TextSpan> tagSpans(QStringView text)
{
    std::vector<TextSpan> spans;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'<', from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'>', open);
        if (close < 0)
            break;
        spans.push_back({static_cast<int>(open), static_cast<int>(close + 1 - open)});
        from = close + 1;
    }
    return spans;
}

}  // namespace calamo
