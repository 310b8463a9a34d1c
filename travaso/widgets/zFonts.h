#pragma once

#include <QFont>
#include <QStringList>

namespace travaso {

// The first of families that the system has; the first given when it has none of them (the font
// matcher then picks its nearest).
QString FirstPresentFamily(const QStringList& families);

// The copier's caption font: Arial, else Liberation Sans, else DejaVu Sans, at pixels pixels.
QFont CaptionFont(int pixels);

}  // namespace travaso
