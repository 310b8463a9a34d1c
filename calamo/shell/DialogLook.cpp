#include "DialogLook.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

namespace calamo {

QFont listFont()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(9);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

void bringToFront(QWidget* window)
{
    if (!window)
        return;
    window->raise();
    window->activateWindow();
}

}  // namespace calamo
