#include "dialogunits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace aracnide {

DialogBase BaseUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, fm.height()};
}

QRect DuToPixels(const QRect& du, DialogBase b)
{
    // Both edges are converted, so adjacent controls stay adjacent.
    const int left = DuToX(du.x(), b), top = DuToY(du.y(), b);
    return QRect(left, top, DuToX(du.x() + du.width(), b) - left, DuToY(du.y() + du.height(), b) - top);
}

QFont DialogFont()
{
    const QStringList present = QFontDatabase::families();
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "DejaVu Sans", "Liberation Sans"}) {
        if (present.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) {
            QFont f(QString::fromLatin1(family));
            f.setPointSize(8);
            return f;
        }
    }
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPointSize(8);
    return f;
}

}  // namespace aracnide
