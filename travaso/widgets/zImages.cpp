#include "zImages.h"

namespace travaso {

QImage CopierTile()
{
    return QImage(QStringLiteral(":/travaso/sfondo.png"));
}

QIcon CopierIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/travaso/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace travaso
