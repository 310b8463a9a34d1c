#include "zBackground.h"

#include "zOwningForm.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

#include <stdexcept>

namespace travaso {

std::vector<QPoint> TileOrigins(int width, int height, int tileWidth, int tileHeight)
{
    std::vector<QPoint> out;
    if (tileWidth <= 0 || tileHeight <= 0 || width < 0 || height < 0)
        return out;
    const int rows = height / tileHeight + 1, cols = width / tileWidth + 1;
    out.reserve(std::size_t(rows) * std::size_t(cols));
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            out.emplace_back(col * tileWidth, row * tileHeight);
    return out;
}

const QImage& SteelPattern()
{
    static const QImage pattern = [] {
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                image.setPixel(x, y, x % 2 == 1 && y % 2 == 1 ? qRgb(255, 255, 255) : qRgb(192, 192, 192));
        return image;
    }();
    return pattern;
}

bool PaintBackground(QPainter& p, QSize client, const BackgroundLook& look)
{
    switch (look.type) {
    case btNormal:
        return false;
    case btBitmap:
        if (look.bitmap.isNull())
            return false;
        for (const QPoint& at : TileOrigins(client.width(), client.height(), look.bitmap.width(), look.bitmap.height()))
            p.drawImage(at, look.bitmap);
        return true;
    case btBlend:
        for (const ColorRect& band :
             BackgroundGradient(client.width(), client.height(), look.color, look.endColor, look.fill, look.bands))
            p.fillRect(band.rect, band.color);
        return true;
    case btSteel:
        p.fillRect(QRect(QPoint(0, 0), client), QBrush(SteelPattern()));
        return true;
    }
    return false;
}

TzBackground::TzBackground(QObject* owner) : QObject(owner), form_(OwningForm(owner))
{
    if (!form_)
        throw std::runtime_error("NoForm");
    form_->installEventFilter(this);
}

TzBackground::~TzBackground()
{
    if (form_) {
        form_->removeEventFilter(this);
        form_->update();
    }
}

void TzBackground::Changed()
{
    if (form_)
        form_->update();
}

void TzBackground::SetBackType(TzBackType type)
{
    if (type != look_.type) {
        look_.type = type;
        Changed();
    }
}

void TzBackground::SetBands(int bands)
{
    if (bands != look_.bands) {
        look_.bands = bands;
        Changed();
    }
}

void TzBackground::SetBitMap(const QImage& bitmap)
{
    look_.bitmap = bitmap;
    Changed();
}

void TzBackground::SetColor(const QColor& color)
{
    if (color != look_.color) {
        look_.color = color;
        Changed();
    }
}

void TzBackground::SetEndColor(const QColor& color)
{
    if (color != look_.endColor) {
        look_.endColor = color;
        Changed();
    }
}

void TzBackground::SetFillType(gradType fill)
{
    look_.fill = fill;
    Changed();
}

bool TzBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != form_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        // The form's own background is filled before this; the controls paint after the form.
        if (!form_->isMinimized()) {
            QPainter p(form_);
            p.setClipRegion(static_cast<QPaintEvent*>(event)->region());
            if (PaintBackground(p, form_->size(), look_))
                emit OnPaint(&p, this);
        }
        break;
    case QEvent::Resize:
        emit OnResize(this);
        form_->update();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace travaso
