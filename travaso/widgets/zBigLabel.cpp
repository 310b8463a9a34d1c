#include "zBigLabel.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace travaso {

namespace {

constexpr int kShortCaption = 255;  // longer captions are always measured with word breaks

}

int BigLabelFlags(Qt::Alignment alignment, bool showAccel)
{
    return int(alignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextWordWrap |
           (showAccel ? Qt::TextShowMnemonic : 0);
}

QSize BigLabelExtent(const QFontMetrics& fm, const QString& text, bool wordWrap, bool showAccel, int width)
{
    const QString measured = text.isEmpty() || (showAccel && text == "&") ? QStringLiteral(" ") : text;
    const bool breaks = wordWrap || measured.size() > kShortCaption;
    const int flags = Qt::TextExpandTabs | (breaks ? Qt::TextWordWrap : 0) | (showAccel ? Qt::TextShowMnemonic : 0);
    const QRect bounds(0, 0, breaks ? std::max(1, width) : 1 << 20, 1 << 20);
    return fm.boundingRect(bounds, flags, measured).size();
}

TzBigLabel::TzBigLabel(QWidget* parent) : QLabel(parent), color_(palette().color(QPalette::Window)) {}

void TzBigLabel::setText(const QString& text)
{
    QLabel::setText(text);
    AdjustBounds();
    update();
}

void TzBigLabel::SetAutoSize(bool on)
{
    autoSize_ = on;
    AdjustBounds();
}

void TzBigLabel::SetWordWrap(bool on)
{
    wordWrap_ = on;
    AdjustBounds();
    update();
}

void TzBigLabel::SetTransparent(bool on)
{
    transparent_ = on;
    update();
}

void TzBigLabel::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TzBigLabel::SetShowAccelChar(bool on)
{
    showAccel_ = on;
    AdjustBounds();
    update();
}

void TzBigLabel::AdjustBounds()
{
    if (!autoSize_)
        return;
    const QSize extent = BigLabelExtent(fontMetrics(), text(), wordWrap_, showAccel_, width());
    const int right = x() + width();
    resize(extent);
    if (alignment() & Qt::AlignRight)
        move(right - extent.width(), y());
}

void TzBigLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!transparent_)
        p.fillRect(rect(), color_);
    p.setFont(font());
    p.setPen(isEnabled() ? palette().color(QPalette::WindowText)
                         : QApplication::palette().color(QPalette::Disabled, QPalette::WindowText));
    p.drawText(rect(), BigLabelFlags(alignment(), showAccel_), text());
}

void TzBigLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        AdjustBounds();
}

void TzBigLabel::enterEvent(QEnterEvent* event)
{
    emit OnMouseEnter(this);
    QLabel::enterEvent(event);
}

void TzBigLabel::leaveEvent(QEvent* event)
{
    emit OnMouseLeave(this);
    QLabel::leaveEvent(event);
}

}  // namespace travaso
