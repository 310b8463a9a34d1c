#include "zGradBtn.h"

namespace travaso {

TzGradBtn::TzGradBtn(QWidget* parent) : TzColorBtn(parent), endColor_(palette().color(QPalette::Button)) {}

void TzGradBtn::SetEndColor(const QColor& color)
{
    endColor_ = color;
    update();
}

void TzGradBtn::SetFillType(gradType type)
{
    fillType_ = type;
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
