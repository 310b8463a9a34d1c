#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace calamo {

// An icon of our own for a toolbar button, drawn with QPainter; a null icon for an unknown name.
QIcon toolIcon(const QString& buttonName);

// The picture of the start panel (a decorative image, about 135 x 400 logical pixels, scaled by the caller).
QPixmap panelPicture(QSize size);

}  // namespace calamo
