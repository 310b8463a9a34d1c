#include "zFonts.h"

#include <QFontDatabase>

namespace travaso {

QString FirstPresentFamily(const QStringList& families)
{
    for (const QString& family : families)
        if (QFontDatabase::hasFamily(family))
            return family;
    return families.value(0);
}

QFont CaptionFont(int pixels)
{
    QFont font(FirstPresentFamily({"Arial", "Liberation Sans", "DejaVu Sans"}));
    font.setPixelSize(pixels);
    return font;
}

}  // namespace travaso
