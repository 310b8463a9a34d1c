#include "zGauge.h"

#include <QMouseEvent>
#include <QPainter>

namespace travaso {

namespace {

// Exclusive-right rectangle from the gauge's arithmetic to a QRect.
QRect Rect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// width nested one-pixel frames, shrinking r; lowered: shadow top and left.
void DrawBevel(QPainter& p, QRect& r, BevelKind kind, int width, const QPalette& pal)
{
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor light = pal.color(QPalette::Light);
    const QColor topLeft = kind == BevelKind::Lowered ? shadow : light;
    const QColor bottomRight = kind == BevelKind::Lowered ? light : shadow;
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

void DrawRings(QPainter& p, QRect& r, int count, const QColor& color)
{
    for (int i = 0; i < count && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), color);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), color);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), color);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), color);
        r.adjust(1, 1, -1, -1);
    }
}

}  // namespace

TzGauge::TzGauge(QWidget* parent) : QWidget(parent)
{
    resize(75, 30);
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildGlyphTile();
}

void TzGauge::SetGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    BuildGlyphTile();
    update();
}

int TzGauge::Percent() const
{
    return GaugePercent(min_, max_, value_);
}

void TzGauge::SetPercent(int percent)
{
    SetValue(GaugeValueForPercent(min_, max_, percent));
}

QColor TzGauge::Color() const
{
    if (color_)
        return *color_;
    return parentWidget() ? parentWidget()->palette().color(parentWidget()->backgroundRole())
                          : palette().color(QPalette::Window);
}

void TzGauge::SetColor(const QColor& color)
{
    color_ = color;
    repaint();
}

void TzGauge::SetParentColor(bool on)
{
    if (on)
        color_.reset();
    else
        color_ = Color();
    repaint();
}

void TzGauge::SetCaptionStyle(gaCaptionStyle style)
{
    captionStyle_ = style;
    repaint();
}

void TzGauge::SetBarColor(const QColor& color)
{
    barColor_ = color;
    repaint();
}

void TzGauge::SetCaption(const QString& caption)
{
    caption_ = caption;
    repaint();
}

void TzGauge::SetBevelInner(BevelKind kind)
{
    bevelInner_ = kind;
    repaint();
}

void TzGauge::SetBevelOuter(BevelKind kind)
{
    bevelOuter_ = kind;
    repaint();
}

void TzGauge::SetBevelWidth(int width)
{
    bevelWidth_ = width;
    repaint();
}

void TzGauge::SetMin(std::int32_t min)
{
    min_ = min;
    SetMax(max_);
}

void TzGauge::SetMax(std::int32_t max)
{
    max_ = max > min_ ? max : min_ + 1;
    repaint();
}

TzGauge::Picture TzGauge::ValuePicture() const
{
    const int inset = GaugeBorder(bevelOuter_, bevelInner_, bevelWidth_, frameWidth_) + margin_;
    const int left = inset, right = width() - inset;
    Picture picture;
    picture.fillEnd = right > left ? GaugeFillEnd(left, right - left, min_, max_, value_) : left;
    if (!caption_.isEmpty() && numberOfLed_ == 0)
        picture.caption = GaugeCaptionText(caption_, captionStyle_, Percent(), value_).value_or(QString());
    return picture;
}

void TzGauge::SetValue(std::int32_t value)
{
    if (value == value_)
        return;
    const int percentBefore = Percent();
    const Picture before = ValuePicture();
    value_ = std::clamp(value, min_, max_);
    if (value_ == min_)
        DoMinimum();
    else if (value_ == max_)
        DoMaximum();
    if (drawOnlyWhenPctChange_ && Percent() == percentBefore)
        return;
    // A new value that moves no pixel is not painted: a loop over many small steps pays for each change
    // of the picture only.
    if (ValuePicture() == before)
        return;
    repaint();
}

void TzGauge::SetMargin(int margin)
{
    margin_ = margin;
    repaint();
}

void TzGauge::SetSpaceBetweenLed(int space)
{
    spaceBetweenLed_ = space;
    repaint();
}

void TzGauge::SetNumberOfLed(int count)
{
    numberOfLed_ = count;
    repaint();
}

void TzGauge::SetFrameWidth(int width)
{
    frameWidth_ = width;
    repaint();
}

void TzGauge::BuildGlyphTile()
{
    tile_ = QImage();
    if (glyph_.width() == 0 || glyph_.height() == 0 || width() <= 0 || height() <= 0)
        return;
    tile_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    tile_.fill(Qt::transparent);
    QPainter p(&tile_);
    for (int row = 0; row <= height() / glyph_.height(); ++row)
        for (int col = 0; col <= width() / glyph_.width(); ++col)
            p.drawImage(col * glyph_.width(), row * glyph_.height(), glyph_);
}

void TzGauge::paintEvent(QPaintEvent*)
{
    if (!glyph_.isNull() && tile_.size() != size())
        BuildGlyphTile();
    const QColor color = Color();
    QPainter p(this);

    QRect r = rect();
    if (bevelOuter_ != BevelKind::None)
        DrawBevel(p, r, bevelOuter_, bevelWidth_, palette());
    DrawRings(p, r, frameWidth_, color);
    if (bevelInner_ != BevelKind::None)
        DrawBevel(p, r, bevelInner_, bevelWidth_, palette());
    const int border = GaugeBorder(bevelOuter_, bevelInner_, bevelWidth_, frameWidth_);
    r = rect().adjusted(border, border, -border, -border);
    DrawRings(p, r, margin_, color);
    const int inset = border + margin_;
    const int left = inset, top = inset, right = width() - inset, bottom = height() - inset;
    if (right > left && bottom > top) {
        const int fillEnd = GaugeFillEnd(left, right - left, min_, max_, value_);
        const bool picture = !tile_.isNull();
        if (numberOfLed_ > 0) {
            // Background first, so nothing between LEDs is left unpainted.
            p.fillRect(Rect(left, top, right, bottom), color);
            const LedLayout leds = GaugeLeds(left, right, numberOfLed_, spaceBetweenLed_, fillEnd);
            for (const Span& led : leds.leds) {
                const QRect target = Rect(led.from, top, led.to, bottom);
                if (picture)
                    p.drawImage(target, tile_, target.translated(-left, -top));
                else
                    p.fillRect(target, barColor_);
            }
        } else {
            p.fillRect(Rect(fillEnd, top, right, bottom), color);
            const QRect filled = Rect(left, top, fillEnd, bottom);
            if (picture)
                p.drawImage(filled, tile_, QRect(0, 0, filled.width(), filled.height()));
            else
                p.fillRect(filled, barColor_);
            captionText_.clear();
            if (!caption_.isEmpty()) {
                // A format that does not match its numbers shows no text rather than ending the program.
                if (auto text = GaugeCaptionText(caption_, captionStyle_, Percent(), value_)) {
                    captionText_ = *text;
                    const QRect bar = Rect(left, top, right, bottom);
                    const QSize extent = QFontMetrics(font()).size(Qt::TextSingleLine, captionText_);
                    const int x = extent.width() < bar.width() ? left + (bar.width() - extent.width()) / 2 : left;
                    const int y = extent.height() < bar.height() ? top + (bar.height() - extent.height()) / 2 : top;
                    const QRect textRect(QPoint(x, y), extent);
                    p.setFont(font());
                    if (picture) {
                        p.setPen(barColor_);
                        p.drawText(textRect, Qt::TextSingleLine, captionText_);
                    } else {
                        p.setClipRect(filled);
                        p.setPen(color);
                        p.drawText(textRect, Qt::TextSingleLine, captionText_);
                        p.setClipRect(Rect(fillEnd, top, right, bottom));
                        p.setPen(barColor_);
                        p.drawText(textRect, Qt::TextSingleLine, captionText_);
                        p.setClipping(false);
                    }
                }
            }
        }
    }
    p.end();
    emit OnPaint(this);
}

void TzGauge::enterEvent(QEnterEvent*)
{
    emit OnMouseEnter(this);
}

void TzGauge::leaveEvent(QEvent*)
{
    emit OnMouseLeave(this);
}

void TzGauge::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    emit OnMouseDown(this, event);
}

void TzGauge::mouseMoveEvent(QMouseEvent* event)
{
    emit OnMouseMove(this, event);
}

void TzGauge::mouseReleaseEvent(QMouseEvent* event)
{
    emit OnMouseUp(this, event);
    if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit OnClick(this);
    pressed_ = false;
}

void TzGauge::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit OnDblClick(this);
    QWidget::mouseDoubleClickEvent(event);
}

}  // namespace travaso
