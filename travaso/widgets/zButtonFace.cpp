#include "zButtonFace.h"

#include <QPainter>

namespace travaso {

int FrameInset(const ButtonFace& face)
{
    return face.defaultLook == dlFrame && (face.focused || face.isDefault) ? 1 : 0;
}

bool BorderShown(const ButtonFace& face)
{
    return !face.flat || (face.hot && face.enabled) || face.tracking || face.pressed;
}

namespace {

// One open line segment from a towards b, b itself not drawn, as a rectangle one pixel wide.
void Segment(std::vector<ColorRect>& out, QPoint a, QPoint b, const QColor& color)
{
    if (a == b)
        return;
    if (a.y() == b.y()) {
        const int from = a.x() < b.x() ? a.x() : b.x() + 1;
        const int to = a.x() < b.x() ? b.x() - 1 : a.x();
        out.push_back({QRect(QPoint(from, a.y()), QPoint(to, a.y())), color});
    } else {
        const int from = a.y() < b.y() ? a.y() : b.y() + 1;
        const int to = a.y() < b.y() ? b.y() - 1 : a.y();
        out.push_back({QRect(QPoint(a.x(), from), QPoint(a.x(), to)), color});
    }
}

void Line(std::vector<ColorRect>& out, QPoint a, QPoint b, QPoint c, const QColor& color)
{
    Segment(out, a, b, color);
    Segment(out, b, c, color);
}

}  // namespace

std::vector<ColorRect> ButtonBorder(QSize size, int d, bool pressed, const QColor& shadow, const QColor& highlight)
{
    const int w1 = size.width() - 1, h1 = size.height() - 1;
    const QColor black(0, 0, 0);
    std::vector<ColorRect> out;
    Line(out, {d, h1 - d}, {d, d}, {w1 - d, d}, shadow);
    Line(out, {w1 - d - 1, d + 1}, {w1 - d - 1, h1 - d - 1}, {d, h1 - d - 1}, shadow);
    Line(out, {d + 1, h1 - d}, {d + 1, d + 1}, {w1 - d, d + 1}, pressed ? black : highlight);
    Line(out, {w1 - d, -d}, {w1 - d, h1 - d}, {d, h1 - d}, pressed ? highlight : black);
    return out;
}

QRect CaptionRect(const ButtonFace& face)
{
    const int w1 = face.size.width() - 1, h1 = face.size.height() - 1;
    QRect r(QPoint(5, 5), QPoint(w1 - 5, h1 - 5));
    if (face.enabled && face.pressed)
        r.translate(1, 1);
    return r;
}

int CaptionFlags(const ButtonFace& face)
{
    int flags = Qt::TextShowMnemonic | int(face.alignment & Qt::AlignHorizontal_Mask);
    switch (face.verticalPlace) {
    case zbha_Center:
        flags |= Qt::AlignVCenter;
        break;
    case zbha_Top:
        flags |= Qt::AlignTop;
        break;
    case zbha_Bottom:
        flags |= Qt::AlignBottom;
        break;
    }
    if (!face.multipleLines)
        flags |= Qt::TextSingleLine;
    if (face.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

QRect FocusRect(QSize size, int d)
{
    const int inset = d + 3;
    return QRect(inset, inset, size.width() - 2 * inset, size.height() - 2 * inset);
}

bool CaptionBold(const ButtonFace& face)
{
    return face.defaultLook == dlBold && (face.focused || face.isDefault);
}

namespace {

// Alternate pixels of r's outline inverted, as a focus rectangle is drawn.
void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(Qt::NoPen);
    auto dot = [&](int x, int y) { p.fillRect(QRect(x, y, 1, 1), Qt::white); };
    int k = 0;
    for (int x = r.left(); x <= r.right(); ++x, ++k)
        if (k % 2 == 0)
            dot(x, r.top());
    for (int y = r.top() + 1; y <= r.bottom(); ++y, ++k)
        if (k % 2 == 0)
            dot(r.right(), y);
    for (int x = r.right() - 1; x >= r.left(); --x, ++k)
        if (k % 2 == 0)
            dot(x, r.bottom());
    for (int y = r.bottom() - 1; y > r.top(); --y, ++k)
        if (k % 2 == 0)
            dot(r.left(), y);
    p.restore();
}

}  // namespace

void PaintButtonFace(QPainter& p, const ButtonFace& face)
{
    const QRect whole(QPoint(0, 0), face.size);
    // The whole face first: a gradient leaves the last column and row to the border, which a flat
    // button does not draw.
    p.fillRect(whole, face.color);
    for (const ColorRect& band : face.fill)
        p.fillRect(band.rect, band.color);

    const int d = FrameInset(face);
    if (BorderShown(face))
        for (const ColorRect& line : ButtonBorder(face.size, d, face.pressed, face.shadow, face.highlight))
            p.fillRect(line.rect, line.color);
    if (d == 1) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(whole.adjusted(0, 0, -1, -1));
    }

    QFont font = face.font;
    if (face.defaultLook == dlBold)
        font.setBold(CaptionBold(face));
    p.setFont(font);
    const QRect text = CaptionRect(face);
    const int flags = CaptionFlags(face);
    if (face.enabled) {
        p.setPen(face.fontColor);
        p.drawText(text, flags, face.caption);
    } else {
        p.setPen(Qt::white);
        p.drawText(text.translated(1, 1), flags, face.caption);
        p.setPen(QColor(128, 128, 128));
        p.drawText(text, flags, face.caption);
    }

    if (face.focused && face.enabled)
        DrawFocusRect(p, FocusRect(face.size, d));
}

}  // namespace travaso
