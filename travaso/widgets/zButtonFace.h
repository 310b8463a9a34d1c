#pragma once

// How a self-drawn push button looks in one state, and the free functions that paint it. The widgets
// TzColorBtn and TzGradBtn only gather their state into a ButtonFace; tests paint faces into images.

#include "zGradient.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace travaso {

enum TzcDefLook { dlBold, dlFrame, dlNone };
// Vertical placement of a button's caption (the name is historical).
enum zbHorzAlign { zbha_Center, zbha_Top, zbha_Bottom };

struct ButtonFace {
    QSize size{89, 33};
    QString caption;
    QFont font;
    QColor fontColor{Qt::black};
    QColor color{192, 192, 192};
    std::vector<ColorRect> fill;  // a gradient over the button; empty: the whole button in color
    QColor highlight{Qt::white};
    QColor shadow{128, 128, 128};
    TzcDefLook defaultLook = dlBold;
    zbHorzAlign verticalPlace = zbha_Center;
    Qt::Alignment alignment = Qt::AlignHCenter;
    bool multipleLines = false;
    bool wordWrap = false;
    bool enabled = true;
    bool focused = false;
    bool isDefault = false;
    bool pressed = false;
    bool hot = false;
    bool tracking = false;
    bool flat = false;
};

// 1 when the button is outlined in black for being focused or the default (dlFrame), else 0.
int FrameInset(const ButtonFace& face);
// Whether the border is drawn: always, unless flat and neither hot and enabled, tracking nor pressed.
bool BorderShown(const ButtonFace& face);
// The border's four open lines as one-pixel rectangles in their colours; d is the frame inset.
std::vector<ColorRect> ButtonBorder(QSize size, int d, bool pressed, const QColor& shadow, const QColor& highlight);
// Where the caption is laid out: (5, 5) to (width - 5, height - 5), one pixel right and down while
// pressed and enabled.
QRect CaptionRect(const ButtonFace& face);
// Text layout flags of the caption (placement, line breaking, accelerator underlined).
int CaptionFlags(const ButtonFace& face);
// The dotted focus rectangle: the button inset by d + 3 on every side.
QRect FocusRect(QSize size, int d);
// Whether the caption is bold: with dlBold, when focused or the default.
bool CaptionBold(const ButtonFace& face);

// Paints the whole face at (0, 0) of painter.
void PaintButtonFace(QPainter& painter, const ButtonFace& face);

}  // namespace travaso
