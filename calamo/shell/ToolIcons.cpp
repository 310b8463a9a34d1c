#include "ToolIcons.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace calamo {

namespace {

// Every icon is drawn on a 16 x 16 unit grid that is scaled to the pixmap. Strokes of width 1 sit on
// half units and fills on whole units, so the edges fall on pixel borders at 16 and 32 pixels.
constexpr qreal kGrid = 16.0;

const QColor kInk(0x2b, 0x2f, 0x36);
const QColor kGrey(0x8c, 0x92, 0x9a);
const QColor kLightGrey(0xd9, 0xdc, 0xe0);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kBlue(0x25, 0x68, 0xc9);
const QColor kDarkBlue(0x1d, 0x3f, 0x7c);
const QColor kSky(0xcd, 0xe2, 0xfa);
const QColor kRed(0xd2, 0x32, 0x2b);
const QColor kGreen(0x2b, 0x9a, 0x3f);
const QColor kPaleGreen(0xc8, 0xec, 0xc4);
const QColor kYellow(0xf5, 0xc3, 0x2c);
const QColor kPaleYellow(0xff, 0xf2, 0xb8);
const QColor kBrown(0xb9, 0x7e, 0x3c);

// Icon letters are always bold so they stay legible at 16 pixels.
enum class Face { SansBold, SerifBold, SerifBoldItalic, MonoBold };

QPen pen(const QColor& color, qreal width = 1.0, Qt::PenCapStyle cap = Qt::SquareCap)
{
    return QPen(color, width, Qt::SolidLine, cap, Qt::MiterJoin);
}

QFont fontFor(Face face, int pixelSize)
{
    const bool mono = face == Face::MonoBold;
    const bool serif = face == Face::SerifBold || face == Face::SerifBoldItalic;
    QFont f(mono    ? QStringLiteral("DejaVu Sans Mono")
            : serif ? QStringLiteral("DejaVu Serif")
                    : QStringLiteral("DejaVu Sans"));
    f.setStyleHint(mono ? QFont::Monospace : serif ? QFont::Serif : QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(true);
    f.setItalic(face == Face::SerifBoldItalic);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Draws `text` fitted to `box` (grid units) by its inked outline rather than by the font's line box, so a
// letter sits where it is meant to. Drawn without the grid scaling to keep the font's hinting.
void glyph(QPainter& p, const QRectF& box, const QString& text, Face face, qreal unitSize, const QColor& color,
           Qt::Alignment align = Qt::AlignCenter)
{
    const QTransform t = p.transform();
    const QFont font = fontFor(face, qMax(1, qRound(unitSize * t.m11())));
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
    const QRectF area = t.mapRect(box);
    qreal x = area.center().x() - ink.center().x();
    if (align & Qt::AlignLeft)
        x = area.left() - ink.left();
    if (align & Qt::AlignRight)
        x = area.right() - ink.right();
    qreal y = area.center().y() - ink.center().y();
    if (align & Qt::AlignTop)
        y = area.top() - ink.top();
    if (align & Qt::AlignBottom)
        y = area.bottom() - ink.bottom();
    p.save();
    p.resetTransform();
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPointF(std::round(x), std::round(y)), text);
    p.restore();
}

// A filled shape with a dark border.
void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line = kInk)
{
    p.setPen(pen(line));
    p.setBrush(fill);
    p.drawPath(path);
}

void box(QPainter& p, const QRectF& r, const QColor& fill, const QColor& line = kInk)
{
    QPainterPath path;
    path.addRect(r);
    shape(p, path, fill, line);
}

QPainterPath polygonPath(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Horizontal text lines from x0 to x1, one unit thick, `count` of them `step` apart starting at row y0.
void textLines(QPainter& p, qreal x0, qreal x1, qreal y0, qreal step, int count, const QColor& color = kGrey)
{
    for (int i = 0; i < count; ++i)
        p.fillRect(QRectF(x0, y0 + i * step, x1 - x0, 1), color);
}

// A sheet of paper with its top right corner folded over.
void sheet(QPainter& p, const QRectF& r, qreal fold)
{
    const qreal x = r.right() - fold;
    const qreal y = r.top() + fold;
    shape(p, polygonPath({r.topLeft(), {x, r.top()}, {r.right(), y}, r.bottomRight(), r.bottomLeft()}), kPaper);
    shape(p, polygonPath({{x, r.top()}, {x, y}, {r.right(), y}}), kLightGrey);
}

// A sheet with a few lines of text on it.
void writtenSheet(QPainter& p, const QRectF& r)
{
    box(p, r, kPaper);
    textLines(p, r.left() + 2, r.right() - 1.5, r.top() + 2, 2, int((r.height() - 2.5) / 2));
}

// A floppy disk filling the whole-unit rectangle `r`: blue case, white label, metal shutter.
void floppy(QPainter& p, const QRect& r)
{
    const qreal l = r.left() + 0.5, t = r.top() + 0.5;
    const qreal rt = r.left() + r.width() - 0.5, b = r.top() + r.height() - 0.5;
    shape(p, polygonPath({{l, t}, {rt - 2, t}, {rt, t + 2}, {rt, b}, {l, b}}), kBlue, kDarkBlue);
    const int w = r.width(), h = r.height();
    p.fillRect(QRect(r.left() + w / 4, r.top() + 1, w / 2, h * 2 / 5), kPaper);
    const QRect shutter(r.left() + w / 4, r.top() + h - h / 3 - 1, w / 2 + 1, h / 3);
    p.fillRect(shutter, kLightGrey);
    p.fillRect(QRect(shutter.left() + shutter.width() - 3, shutter.top() + 1, 1, shutter.height() - 2), kInk);
}

// A cell of a table grid to be painted in a colour.
struct Cell {
    int col, row;
    QColor color;
};

// A table grid whose column and row borders lie at `xs` and `ys`; the `fill` cells are painted first.
void grid(QPainter& p, const std::vector<qreal>& xs, const std::vector<qreal>& ys, std::initializer_list<Cell> fill)
{
    const QRectF outer(QPointF(xs.front(), ys.front()), QPointF(xs.back(), ys.back()));
    p.fillRect(outer, kPaper);
    for (const Cell& c : fill)
        p.fillRect(QRectF(QPointF(xs[c.col], ys[c.row]), QPointF(xs[c.col + 1], ys[c.row + 1])), c.color);
    p.setPen(pen(kInk));
    p.setBrush(Qt::NoBrush);
    for (qreal x : xs)
        p.drawLine(QPointF(x, ys.front()), QPointF(x, ys.back()));
    for (qreal y : ys)
        p.drawLine(QPointF(xs.front(), y), QPointF(xs.back(), y));
}

void tableGrid(QPainter& p, std::initializer_list<Cell> fill)
{
    grid(p, {1.5, 5.5, 10.5, 14.5}, {2.5, 6.5, 10.5, 14.5}, fill);
}

// A green plus centred on whole-unit point `c`, with a white rim so it reads over other drawings.
void plus(QPainter& p, QPoint c, int arm = 3)
{
    const auto cross = [&](int a, int half, const QColor& color) {
        p.fillRect(QRect(c.x() - a, c.y() - half, 2 * a, 2 * half), color);
        p.fillRect(QRect(c.x() - half, c.y() - a, 2 * half, 2 * a), color);
    };
    cross(arm + 1, 2, kPaper);
    cross(arm, 1, kGreen);
}

// A filled triangle pointing at `tip`, `len` long and `half` wide on each side, along the unit vector dir.
void arrowHead(QPainter& p, QPointF tip, QPointF dir, qreal len, qreal half, const QColor& color)
{
    const QPointF base = tip - dir * len;
    const QPointF side(-dir.y() * half, dir.x() * half);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({tip, base + side, base - side}));
}

// Rows of a list: a marker drawn by `marker` at each row centre, then a text line.
template <typename Marker>
void listRows(QPainter& p, std::initializer_list<qreal> rows, Marker marker, const QColor& line = kInk)
{
    for (qreal y : rows) {
        marker(y);
        p.fillRect(QRectF(6, y - 0.5, 9, 1), line);
    }
}

void bullet(QPainter& p, qreal y, const QColor& color = kBlue)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(1.5, y - 1.5, 3, 3));
}

// A globe with a small numbered tag, for the two browser previews.
void globe(QPainter& p, const QString& number)
{
    p.setPen(pen(kDarkBlue));
    p.setBrush(kSky);
    p.drawEllipse(QRectF(1.5, 1.5, 12, 12));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(4.5, 1.5, 6, 12));
    p.drawLine(QPointF(7.5, 1.5), QPointF(7.5, 13.5));
    p.drawLine(QPointF(1.5, 7.5), QPointF(13.5, 7.5));
    box(p, QRectF(9.5, 8.5, 6, 7), kPaper);
    glyph(p, QRectF(10, 9, 5, 6), number, Face::SansBold, 7, kRed);
}

// ---- one drawing per button ----

void drawNew(QPainter& p)
{
    sheet(p, QRectF(3.5, 1.5, 9, 13), 4);
}

void drawOpen(QPainter& p)
{
    shape(p, polygonPath({{1.5, 3.5}, {5.5, 3.5}, {7, 5}, {12.5, 5}, {12.5, 13.5}, {1.5, 13.5}}),
          QColor(0xdc, 0xa2, 0x2e), QColor(0x80, 0x5a, 0x14));
    shape(p, polygonPath({{1.5, 13.5}, {4.5, 7.5}, {15, 7.5}, {12.5, 13.5}}), QColor(0xf7, 0xd3, 0x6a),
          QColor(0x80, 0x5a, 0x14));
}

void drawSave(QPainter& p)
{
    floppy(p, QRect(1, 1, 14, 14));
}

void drawSaveAll(QPainter& p)
{
    floppy(p, QRect(5, 0, 11, 11));
    floppy(p, QRect(0, 5, 11, 11));
}

void drawPrint(QPainter& p)
{
    box(p, QRectF(4.5, 1.5, 7, 5), kPaper);
    QPainterPath body;
    body.addRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
    shape(p, body, QColor(0xb9, 0xc0, 0xca));
    p.fillRect(QRect(12, 8, 1, 1), kGreen);
    box(p, QRectF(4.5, 10.5, 7, 4), kPaper);
    textLines(p, 6, 10, 12, 2, 1);
}

void drawCut(QPainter& p)
{
    p.setPen(pen(kInk, 1.5, Qt::RoundCap));
    p.drawLine(QPointF(5.5, 10), QPointF(11.5, 1.5));
    p.drawLine(QPointF(10.5, 10), QPointF(4.5, 1.5));
    p.setPen(pen(kRed, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.3, 12.2), 2.3, 2.3);
    p.drawEllipse(QPointF(11.7, 12.2), 2.3, 2.3);
    p.setPen(Qt::NoPen);
    p.setBrush(kGrey);
    p.drawEllipse(QPointF(8, 6.1), 0.8, 0.8);
}

void drawCopy(QPainter& p)
{
    writtenSheet(p, QRectF(1.5, 1.5, 8, 10));
    writtenSheet(p, QRectF(6.5, 4.5, 8, 10));
}

void drawPaste(QPainter& p)
{
    box(p, QRectF(1.5, 2.5, 10, 12), kBrown, QColor(0x6e, 0x47, 0x1c));
    box(p, QRectF(4.5, 1.5, 4, 3), kLightGrey);
    writtenSheet(p, QRectF(6.5, 6.5, 8, 8));
}

void drawFind(QPainter& p)
{
    p.setPen(pen(kInk, 2.5, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.setPen(pen(kInk, 1.3));
    p.setBrush(kSky);
    p.drawEllipse(QRectF(1.5, 1.5, 9.5, 9.5));
    p.setPen(pen(kPaper, 1.2, Qt::RoundCap));
    p.drawArc(QRectF(3.5, 3.5, 5.5, 5.5), 100 * 16, 70 * 16);
}

void drawColourTags(QPainter& p)
{
    p.setPen(pen(kBlue, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{6, 1.5}, {2, 5.5}, {6, 9.5}}));
    p.drawPolyline(QPolygonF({{10, 1.5}, {14, 5.5}, {10, 9.5}}));
    QLinearGradient paint(1, 0, 15, 0);
    paint.setColorAt(0, kRed);
    paint.setColorAt(0.5, QColor(0xf0, 0x9a, 0x1c));
    paint.setColorAt(1, kGreen);
    QPainterPath stroke(QPointF(2, 13.5));
    stroke.cubicTo(QPointF(5, 10.5), QPointF(9, 16), QPointF(14, 12));
    p.setPen(QPen(QBrush(paint), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stroke);
}

void drawParagraph(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(3, 2, 6.5, 7));
    p.fillRect(QRect(6, 2, 7, 1), kInk);
    p.fillRect(QRect(8, 2, 1, 13), kInk);
    p.fillRect(QRect(11, 2, 1, 13), kInk);
}

void drawBreak(QPainter& p)
{
    p.setPen(pen(kBlue, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{13, 2}, {13, 10}, {5, 10}}));
    arrowHead(p, QPointF(1.5, 10), QPointF(-1, 0), 4.5, 3.5, kBlue);
}

void drawIndent(QPainter& p)
{
    textLines(p, 1, 15, 2, 11, 2, kInk);
    textLines(p, 7, 15, 6, 3, 2, kInk);
    p.fillRect(QRectF(1, 7, 2.5, 1.5), kBlue);
    arrowHead(p, QPointF(6, 7.75), QPointF(1, 0), 3, 3, kBlue);
}

void drawComment(QPainter& p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1.5, 1.5, 13, 10), 2.5, 2.5);
    bubble = bubble.united(polygonPath({{4, 10}, {3, 14.5}, {8.5, 10}}));
    shape(p, bubble, kPaleYellow);
    glyph(p, QRectF(2, 2, 12, 9), QStringLiteral("<!"), Face::MonoBold, 9, kGreen);
}

void drawRule(QPainter& p)
{
    textLines(p, 1, 15, 2, 2, 2, kLightGrey);
    textLines(p, 1, 15, 12, 2, 2, kLightGrey);
    p.fillRect(QRect(1, 6, 14, 4), kInk);
    p.fillRect(QRect(2, 7, 12, 1), kGrey);
}

void drawSpace(QPainter& p)
{
    p.setPen(pen(kBlue, 2, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{3, 7}, {3, 12}, {13, 12}, {13, 7}}));
}

void drawFont(QPainter& p)
{
    glyph(p, QRectF(0, 0, 11, 12), QStringLiteral("A"), Face::SerifBold, 14, kInk, Qt::AlignLeft | Qt::AlignBottom);
    glyph(p, QRectF(10, 5, 6, 7), QStringLiteral("a"), Face::SansBold, 9, kBlue, Qt::AlignRight | Qt::AlignBottom);
    p.fillRect(QRect(1, 13, 14, 3), kRed);
}

void drawBold(QPainter& p)
{
    glyph(p, QRectF(0, 0, 16, 16), QStringLiteral("B"), Face::SansBold, 15, kInk);
}

void drawItalic(QPainter& p)
{
    glyph(p, QRectF(0, 0, 16, 16), QStringLiteral("I"), Face::SerifBoldItalic, 16, kInk);
}

void drawFixed(QPainter& p)
{
    glyph(p, QRectF(0, 0, 16, 16), QStringLiteral("TT"), Face::MonoBold, 12, kInk);
}

void drawUnderline(QPainter& p)
{
    glyph(p, QRectF(0, 0, 16, 12), QStringLiteral("U"), Face::SansBold, 13, kInk);
    p.fillRect(QRect(2, 13, 12, 2), kBlue);
}

void drawStrike(QPainter& p)
{
    glyph(p, QRectF(0, 0, 16, 16), QStringLiteral("S"), Face::SansBold, 15, kInk);
    p.fillRect(QRect(1, 7, 14, 2), kRed);
}

void drawSuperscript(QPainter& p)
{
    glyph(p, QRectF(0, 0, 11, 15), QStringLiteral("x"), Face::SansBold, 14, kInk, Qt::AlignLeft | Qt::AlignBottom);
    glyph(p, QRectF(10, 0, 6, 8), QStringLiteral("2"), Face::SansBold, 9, kBlue, Qt::AlignRight | Qt::AlignTop);
}

void drawSubscript(QPainter& p)
{
    glyph(p, QRectF(0, 1, 11, 11), QStringLiteral("x"), Face::SansBold, 14, kInk, Qt::AlignLeft | Qt::AlignBottom);
    glyph(p, QRectF(10, 8, 6, 8), QStringLiteral("2"), Face::SansBold, 9, kBlue, Qt::AlignRight | Qt::AlignBottom);
}

void drawBlink(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 ? 3.0 : 7.2;
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        star << QPointF(8 + radius * std::cos(angle), 8.8 + radius * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(star);
    path.closeSubpath();
    shape(p, path, kYellow, QColor(0xa8, 0x6a, 0x00));
}

void drawLink(QPainter& p)
{
    p.save();
    p.translate(8, 8);
    p.rotate(-45);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kGrey, 1.8));
    p.drawRoundedRect(QRectF(-8, -2.6, 9.5, 5.2), 2.6, 2.6);
    p.setPen(pen(kBlue, 1.8));
    p.drawRoundedRect(QRectF(-1.5, -2.6, 9.5, 5.2), 2.6, 2.6);
    p.restore();
}

void drawAnchor(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kDarkBlue, 1.5, Qt::RoundCap));
    p.drawEllipse(QPointF(8, 2.6), 1.5, 1.5);
    p.drawLine(QPointF(8, 4.2), QPointF(8, 14));
    p.drawLine(QPointF(5, 6.5), QPointF(11, 6.5));
    p.drawArc(QRectF(2.5, 3.5, 11, 11), 180 * 16, 180 * 16);
    arrowHead(p, QPointF(2.5, 7), QPointF(0, -1), 3, 2, kDarkBlue);
    arrowHead(p, QPointF(13.5, 7), QPointF(0, -1), 3, 2, kDarkBlue);
}

void drawImage(QPainter& p)
{
    const QRectF frame(1.5, 2.5, 13, 11);
    p.fillRect(frame, kSky);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    p.drawEllipse(QRectF(9.5, 4, 3.2, 3.2));
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF({{1.5, 13.5}, {6, 7}, {9, 11}, {10.5, 9.5}, {14.5, 13.5}}));
    box(p, frame, Qt::transparent);
}

void drawMail(QPainter& p)
{
    box(p, QRectF(1.5, 3.5, 13, 9), kPaleYellow);
    p.setPen(pen(kInk, 1, Qt::RoundCap));
    p.drawPolyline(QPolygonF({{1.5, 3.5}, {8, 9}, {14.5, 3.5}}));
    p.setPen(pen(kGrey, 1, Qt::RoundCap));
    p.drawLine(QPointF(2, 12), QPointF(6, 8));
    p.drawLine(QPointF(14, 12), QPointF(10, 8));
}

void drawBullets(QPainter& p)
{
    listRows(p, {3.5, 8.5, 13.5}, [&](qreal y) { bullet(p, y); });
}

// Two numbered items: three rows would make the digits too small to read at 16 pixels.
void drawNumbers(QPainter& p)
{
    int n = 0;
    listRows(p, {4.5, 11.5},
             [&](qreal y) { glyph(p, QRectF(0, y - 3.5, 5, 7), QString::number(++n), Face::SansBold, 8, kBlue); });
    textLines(p, 6, 12, 7, 7, 2);
}

void drawListItem(QPainter& p)
{
    listRows(
        p, {2.5}, [&](qreal y) { bullet(p, y, kGrey); }, kGrey);
    listRows(p, {7.5}, [&](qreal y) { bullet(p, y); });
    plus(p, QPoint(11, 12));
}

void drawTable(QPainter& p)
{
    tableGrid(p, {{0, 0, kSky}, {1, 0, kSky}, {2, 0, kSky}});
}

void drawInsertRow(QPainter& p)
{
    tableGrid(p, {{0, 1, kPaleGreen}, {1, 1, kPaleGreen}, {2, 1, kPaleGreen}});
    plus(p, QPoint(12, 12));
}

void drawNewCell(QPainter& p)
{
    tableGrid(p, {{1, 1, kYellow}});
}

void drawForm(QPainter& p)
{
    box(p, QRectF(1.5, 1.5, 13, 13), QColor(0xec, 0xee, 0xf1));
    box(p, QRectF(3.5, 3.5, 9, 3), kPaper, kGrey);
    p.fillRect(QRect(5, 4, 1, 2), kInk);
    box(p, QRectF(6.5, 9.5, 6, 3), QColor(0xc3, 0xc9, 0xd2));
}

void drawFrameset(QPainter& p)
{
    p.fillRect(QRect(1, 1, 14, 14), kPaper);
    p.fillRect(QRect(1, 1, 14, 3), kBlue);
    p.fillRect(QRect(1, 4, 6, 11), kSky);
    p.setPen(pen(kInk));
    p.drawLine(QPointF(6.5, 4), QPointF(6.5, 14.5));
    p.drawLine(QPointF(6.5, 9.5), QPointF(14.5, 9.5));
    box(p, QRectF(1.5, 1.5, 13, 13), Qt::transparent);
}

void drawBrowse(QPainter& p)
{
    p.setPen(pen(kGreen, 2, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{3, 3}, {8, 8}, {3, 13}}));
    p.drawPolyline(QPolygonF({{8.5, 3}, {13.5, 8}, {8.5, 13}}));
}

struct Drawing {
    const char* name;
    void (*draw)(QPainter&);
};

const std::array kDrawings{
    Drawing{"Speed25", drawNew},
    Drawing{"Speed26", drawOpen},
    Drawing{"Speed27", drawSave},
    Drawing{"Speed46", drawSaveAll},
    Drawing{"Speed28", drawPrint},
    Drawing{"Speed29", drawCut},
    Drawing{"Speed30", drawCopy},
    Drawing{"Speed31", drawPaste},
    Drawing{"Speed23", drawFind},
    Drawing{"SpeedButton3", drawColourTags},
    Drawing{"Speed44", [](QPainter& p) { globe(p, QStringLiteral("1")); }},
    Drawing{"Speed45", [](QPainter& p) { globe(p, QStringLiteral("2")); }},
    Drawing{"Speed01", drawParagraph},
    Drawing{"Speed02", drawBreak},
    Drawing{"Speed03", drawIndent},
    Drawing{"Speed04", drawComment},
    Drawing{"Speed13", drawRule},
    Drawing{"Speed47", drawSpace},
    Drawing{"Speed20", drawFont},
    Drawing{"Speed05", drawBold},
    Drawing{"Speed06", drawItalic},
    Drawing{"Speed07", drawFixed},
    Drawing{"Speed08", drawUnderline},
    Drawing{"Speed09", drawStrike},
    Drawing{"Speed10", drawSuperscript},
    Drawing{"Speed11", drawSubscript},
    Drawing{"Speed12", drawBlink},
    Drawing{"Speed17", drawLink},
    Drawing{"Speed18", drawAnchor},
    Drawing{"Speed19", drawImage},
    Drawing{"Speed32", drawMail},
    Drawing{"Speed14", drawBullets},
    Drawing{"Speed15", drawNumbers},
    Drawing{"Speed16", drawListItem},
    Drawing{"Speed21", drawTable},
    Drawing{"Speed22", drawInsertRow},
    Drawing{"Speed24", drawNewCell},
    Drawing{"Speed33", drawForm},
    Drawing{"Speed34", drawFrameset},
    Drawing{"Sfoglia", drawBrowse},
};

QPixmap render(void (*draw)(QPainter&), int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / kGrid, size / kGrid);
    draw(p);
    return pixmap;
}

// The quill of the start panel, drawn with its nib at the origin and its tip `length` units straight up.
void quill(QPainter& p, qreal length)
{
    const qreal vaneEnd = -0.32 * length;
    QPainterPath vane(QPointF(2, -length));
    vane.cubicTo(QPointF(44, -0.86 * length), QPointF(40, -0.5 * length), QPointF(3, vaneEnd));
    vane.lineTo(QPointF(-1, vaneEnd + 8));
    vane.cubicTo(QPointF(-28, -0.5 * length), QPointF(-22, -0.86 * length), QPointF(2, -length));
    // A few slits where the barbs have parted, as on a real feather.
    for (qreal y : {-0.72 * length, -0.5 * length})
        vane = vane.subtracted(polygonPath({{50, y - 26}, {9, y}, {50, y - 20}}));
    vane = vane.subtracted(polygonPath({{-40, -0.62 * length - 22}, {-8, -0.62 * length}, {-40, -0.62 * length - 17}}));
    QLinearGradient shade(-26, 0, 36, 0);
    shade.setColorAt(0, QColor(0xf4, 0xf7, 0xfb));
    shade.setColorAt(1, QColor(0xc9, 0xd6, 0xe6));
    p.setBrush(shade);
    p.setPen(QPen(QColor(0x6f, 0x7f, 0x94), 1.2));
    p.drawPath(vane);

    // Barbs: fine slanted lines across the vane.
    p.save();
    p.setClipPath(vane);
    p.setPen(QPen(QColor(0x8a, 0x9a, 0xb0, 120), 0.8));
    for (qreal y = -length + 12; y < vaneEnd + 8; y += 6) {
        p.drawLine(QPointF(0, y), QPointF(46, y - 28));
        p.drawLine(QPointF(0, y), QPointF(-32, y - 20));
    }
    p.restore();

    // The bare barrel below the vane, then the shaft and the cut nib.
    QPainterPath barrel;
    barrel.addRoundedRect(QRectF(-2.5, vaneEnd - 4, 5, -vaneEnd - 14), 2.5, 2.5);
    p.setBrush(QColor(0xee, 0xe2, 0xc6));
    p.setPen(QPen(QColor(0x9a, 0x80, 0x52), 1));
    p.drawPath(barrel);
    QPainterPath shaft(QPointF(0, -length));
    shaft.quadTo(QPointF(3, 0.5 * (vaneEnd - length)), QPointF(0, vaneEnd));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x9a, 0x80, 0x52), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(shaft);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2a, 0x2c, 0x3e));
    p.drawPolygon(QPolygonF({{-2.5, -18}, {2.5, -18}, {0, 0}}));
    p.setPen(QPen(QColor(0xee, 0xe2, 0xc6), 0.6));
    p.drawLine(QPointF(0, -14), QPointF(0, -5));
}

}  // namespace

QIcon toolIcon(const QString& buttonName)
{
    for (const Drawing& d : kDrawings) {
        if (buttonName == QLatin1String(d.name)) {
            QIcon icon;
            for (int size : {16, 24, 32})
                icon.addPixmap(render(d.draw, size));
            return icon;
        }
    }
    return {};
}

QPixmap panelPicture(QSize size)
{
    if (size.isEmpty())
        return {};
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0xfa, 0xf5, 0xe8));
    sky.setColorAt(1, QColor(0xd3, 0xe1, 0xef));
    p.fillRect(pixmap.rect(), sky);

    // The design is laid out on 135 x 400 units, scaled evenly and centred in the pixmap.
    const qreal scale = qMin(size.width() / 135.0, size.height() / 400.0);
    p.translate((size.width() - 135 * scale) / 2, (size.height() - 400 * scale) / 2);
    p.scale(scale, scale);

    p.save();
    p.translate(50, 382);
    p.rotate(-90);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setStyleHint(QFont::Serif);
    font.setItalic(true);
    font.setPixelSize(40);
    p.setFont(font);
    p.setPen(QColor(0x3a, 0x44, 0x66, 150));
    p.drawText(QPointF(0, 0), QStringLiteral("Calamo"));
    p.restore();

    // A stroke of ink leaving the nib.
    const QPointF nib(70, 352);
    QPainterPath ink(nib);
    ink.cubicTo(QPointF(76, 378), QPointF(100, 352), QPointF(122, 376));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x25, 0x30, 0x5a, 190), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(ink);

    p.translate(nib);
    p.rotate(5);
    quill(p, 320);
    return pixmap;
}

}  // namespace calamo
