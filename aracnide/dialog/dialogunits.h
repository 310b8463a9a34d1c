#pragma once
// Dialog units: a horizontal unit is a quarter of the dialog font's average character width, a
// vertical unit an eighth of its height, so a dialog's layout follows its font.

#include <QFont>
#include <QRect>

namespace aracnide {

struct DialogBase {
    int x = 6;   // average character width, pixels
    int y = 13;  // character height, pixels
};

// The base of a font: the width of the 52 letters, halved then rounded, and the font's height.
DialogBase BaseUnits(const QFont& font);

inline int DuToX(int du, DialogBase b)
{
    return du * b.x / 4;
}
inline int DuToY(int du, DialogBase b)
{
    return du * b.y / 8;
}
QRect DuToPixels(const QRect& du, DialogBase b);

// The dialog's font: 8 points of the first family present of "MS Sans Serif", "Microsoft Sans Serif",
// "DejaVu Sans", "Liberation Sans", else the system's general font at 8 points.
QFont DialogFont();

}  // namespace aracnide
