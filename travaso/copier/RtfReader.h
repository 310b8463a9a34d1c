#pragma once

// A small reader for the rich text that word processors write for a short formatted text: paragraphs,
// bold, italic, underline, font families and sizes, the colour table, \'hh code-page escapes and \uN
// Unicode escapes. Pictures and other destinations it does not know are skipped. Any bytes are read in
// time and memory linear in their length: groups nest at most 256 deep (deeper ones are read as text of
// the 256th), \binN skips at most to the end, \uN outside the 16-bit range gives U+FFFD.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace travaso {

struct RtfColor {
    int red = 0, green = 0, blue = 0;
    bool operator==(const RtfColor&) const = default;
};

struct RtfCharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString family;                 // empty: the view's own font
    double pointSize = 0;           // 0: the view's own size
    std::optional<RtfColor> color;  // none: the view's text colour
    bool operator==(const RtfCharFormat&) const = default;
};

struct RtfRun {
    QString text;  // may hold U+2028 for a line break inside the paragraph
    RtfCharFormat format;
};

struct RtfParagraph {
    std::vector<RtfRun> runs;
    QString Text() const;
};

struct RtfDocument {
    std::vector<RtfParagraph> paragraphs;
    QString PlainText() const;  // paragraphs joined with "\n"
};

bool LooksLikeRtf(const QByteArray& data);
RtfDocument ReadRtf(const QByteArray& data);

}  // namespace travaso
