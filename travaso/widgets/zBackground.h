#pragma once

#include "zGradient.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>

class QPainter;
class QWidget;

namespace travaso {

enum TzBackType { btBitmap, btBlend, btNormal, btSteel };

// What a background paints, and the free functions that paint it.
struct BackgroundLook {
    TzBackType type = btBitmap;
    QImage bitmap;
    QColor color{255, 0, 255};
    QColor endColor{0, 0, 0};
    gradType fill = gVert;
    int bands = 255;
};

// Top-left corners of the tiles of a tileWidth x tileHeight picture over a width x height area:
// height / tileHeight + 1 rows of width / tileWidth + 1 tiles from (0, 0). Empty for an empty picture.
std::vector<QPoint> TileOrigins(int width, int height, int tileWidth, int tileHeight);

// The built-in 8 x 8 pattern: silver, white where column and row are both odd.
const QImage& SteelPattern();

// Paints the background over a client area of the given size. Returns false, painting nothing, where
// the window's ordinary background stays (btNormal, or btBitmap without a picture).
bool PaintBackground(QPainter& painter, QSize client, const BackgroundLook& look);

// Paints a look behind every control of the form that owns it (the first widget up its chain of
// parents): a tiled picture, a gradient or the steel pattern. Made without such a form it throws
// std::runtime_error("NoForm").
class TzBackground : public QObject {
    Q_OBJECT

public:
    explicit TzBackground(QObject* owner);
    ~TzBackground() override;

    TzBackType BackType() const { return look_.type; }
    void SetBackType(TzBackType type);
    int Bands() const { return look_.bands; }
    void SetBands(int bands);
    const QImage& BitMap() const { return look_.bitmap; }
    void SetBitMap(const QImage& bitmap);
    QColor Color() const { return look_.color; }
    void SetColor(const QColor& color);
    QColor EndColor() const { return look_.endColor; }
    void SetEndColor(const QColor& color);
    gradType FillType() const { return look_.fill; }
    void SetFillType(gradType fill);

    QWidget* Form() const { return form_; }

signals:
    // After each painting of the background, with a painter on the form.
    void OnPaint(QPainter* canvas, TzBackground* sender);
    void OnResize(TzBackground* sender);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Changed();

    BackgroundLook look_;
    QPointer<QWidget> form_;
};

}  // namespace travaso
