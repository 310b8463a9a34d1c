#include "ProgramPaths.h"
#include "QtItalian.h"
#include "QtPrompts.h"
#include "TForm1.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calamo"));
    QApplication::setDesktopFileName(QStringLiteral("org.suiteweb.calamo"));
    calamo::installQtItalian(app);

    calamo::QtPrompts prompts;
    calamo::TForm1 window(prompts, calamo::programDirectory());
    prompts.setParent(&window);

    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();

    // Files named on the command line open after start-up, each as Open does.
    const QStringList files = app.arguments().mid(1);
    QTimer::singleShot(0, &window, [&window, files] {
        for (const QString& file : files)
            window.documents().openFile(file);
    });
    return app.exec();
}
