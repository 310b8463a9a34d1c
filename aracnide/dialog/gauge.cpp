#include "gauge.h"

#include <QPainter>

#include <algorithm>

namespace aracnide {

namespace {
const QColor kLightYellow(255, 255, 224);
const QColor kRed(255, 0, 0);
}  // namespace

GaugeGeometry ComputeGauge(const QSize& size, int JgCur)
{
    GaugeGeometry g;
    JgCur = std::clamp(JgCur, 0, 100);
    // The bar area is the client rectangle less 2 pixels on the left and 1 on the other sides;
    // right and bottom edges are exclusive.
    const int left = 2, top = 1, right = size.width() - 1, bottom = size.height() - 1;
    g.larg = (right - left) + 2;
    g.split = g.larg * JgCur / 100;
    g.rectG = QRect(QPoint(left, top), QPoint(g.split - 1, bottom - 1));
    g.rectD = QRect(QPoint(g.split, top), QPoint(right - 1, bottom - 1));
    g.textPos = QPoint(g.larg / 2 - 10, top + 2);
    g.text = QStringLiteral("%1 %").arg(JgCur);
    return g;
}

Gauge::Gauge(QWidget* parent) : QWidget(parent) {}

void Gauge::SetPercent(int percent)
{
    JgCur_ = std::clamp(percent, 0, 100);
    update();
}

void Gauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(kLightYellow);
    p.drawRect(QRect(QPoint(1, 0), QPoint(width() - 1, height() - 1)).adjusted(0, 0, -1, -1));
    if (isStart_) {
        isStart_ = false;
        return;
    }
    const GaugeGeometry g = ComputeGauge(size(), JgCur_);
    const QRect textBox(g.textPos, QSize(width(), height()));
    auto part = [&](const QRect& r, const QColor& back, const QColor& fore) {
        if (r.isEmpty())
            return;
        p.save();
        p.setClipRect(r);
        p.fillRect(r, back);
        p.setPen(fore);
        p.drawText(textBox, Qt::AlignLeft | Qt::AlignTop, g.text);
        p.restore();
    };
    part(g.rectG, kRed, Qt::black);
    part(g.rectD, kLightYellow, kRed);
}

}  // namespace aracnide
