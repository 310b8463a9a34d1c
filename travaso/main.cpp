#include "CopierEnvironment.h"
#include "PosixFileSystem.h"
#include "QtItalian.h"
#include "QtPrompts.h"
#include "TravasoMain.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

// The window's icon: two folders, one poured into the other.
QIcon CopierIcon()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(QColor(255, 200, 0));
    p.drawRect(2, 4, 18, 13);
    p.setBrush(QColor(0, 160, 160));
    p.drawRect(11, 15, 18, 13);
    p.setPen(QPen(Qt::red, 2));
    p.drawLine(14, 8, 22, 20);
    return QIcon(pixmap);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title, and the caption is exactly the window's.
    QApplication::setApplicationName("Travaso");
    QApplication::setWindowIcon(CopierIcon());
    QApplication::setDesktopFileName("org.suiteweb.travaso");
    InstallQtItalian(app);

    PosixFileSystem fs;
    QtPrompts prompts;
    TForm1 form(CopierEnvironment::FromSystem(), fs, prompts);
    prompts.SetParent(&form);
    form.show();
    return app.exec();
}
