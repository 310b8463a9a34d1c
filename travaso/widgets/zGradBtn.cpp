#include "zGradBtn.h"

namespace travaso {

TzGradBtn::TzGradBtn(QWidget* parent) : TzColorBtn(parent), endColor_(palette().color(QPalette::Button))
{
    delta_ = ColorDifference(Color(), endColor_);
}

void TzGradBtn::SetColor(const QColor& color)
{
    delta_ = ColorDifference(color, endColor_);
    TzColorBtn::SetColor(color);
}

void TzGradBtn::SetEndColor(const QColor& color)
{
    endColor_ = color;
    delta_ = ColorDifference(Color(), endColor_);
    update();
}

void TzGradBtn::SetFillType(gradType type)
{
    fillType_ = type;
    delta_ = ColorDifference(Color(), endColor_);
    update();
}

void TzGradBtn::SetBands(int bands)
{
    bands_ = bands;
    update();
}

ButtonFace TzGradBtn::Face() const
{
    ButtonFace face = TzColorBtn::Face();
    face.fill = ButtonGradient(width(), height(), Color(), endColor_, fillType_, bands_, Pressed());
    return face;
}

}  // namespace travaso
