#include "Clock.h"
#include "FileSystem.h"
#include "ProgramPaths.h"
#include "QtItalian.h"
#include "QtPrompts.h"
#include "Recovery.h"
#include "StopSignals.h"
#include "TForm1.h"

#include <QApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

namespace {

// Recovery copies are kept unless CALAMO_NO_RECOVERY is set (to anything but "0") or the command line holds
// --no-recovery.
constexpr const char* kNoRecoveryOption = "--no-recovery";

bool recoveryWanted(const QStringList& arguments)
{
    const QByteArray off = qgetenv("CALAMO_NO_RECOVERY");
    return (off.isEmpty() || off == "0") && !arguments.contains(QLatin1String(kNoRecoveryOption));
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calamo"));
    QApplication::setDesktopFileName(QStringLiteral("org.suiteweb.calamo"));
    calamo::installQtItalian(app);

    calamo::QtPrompts prompts;
    calamo::PosixFileSystem fileSystem;
    calamo::SystemClock clock;
    calamo::TForm1 window(prompts, fileSystem, clock, calamo::programDirectory());
    prompts.setParent(&window);

    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    window.show();

    QStringList files = app.arguments().mid(1);
    if (recoveryWanted(files)) {
        window.enableRecovery(calamo::RecoveryFolder::defaultPath());
        // The session is ending, or the program is told to stop: every unsaved text goes to its copy first.
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                         [&window](QSessionManager&) { window.writeRecoveryNow(); });
        calamo::onStopSignals(&window, [&window] {
            window.writeRecoveryNow();
            QCoreApplication::exit(0);
        });
    }
    files.removeAll(QLatin1String(kNoRecoveryOption));

    // Copies left by an editor that ended without saving are offered first; then the files named on the command
    // line open, each as Open does.
    QTimer::singleShot(0, &window, [&window, files] {
        window.offerRecovery();
        for (const QString& file : files)
            window.documents().openFile(file);
    });
    return app.exec();
}
