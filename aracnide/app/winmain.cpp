// The dialog program: settings path, the last location from the command line, the HTTP client
// opened once, and the dialog run modally.

#include "cp1252.h"
#include "dlgcheck.h"
#include "general.h"
#include "httpclient.h"
#include "prompts.h"
#include "settings.h"
#include "windowlist.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <string>

namespace aracnide {

int WinMain(int argc, char** argv, const std::string& commandLine)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("aracnide"));
    QApplication::setDesktopFileName(QStringLiteral("org.suiteweb.aracnide"));

    const std::string programDir = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const std::string path = SettingsPath(programDir, dataDir.toStdString());
    if (path.rfind(programDir, 0) != 0)
        QDir().mkpath(dataDir);
    Profile ini = SettingsProfile(path);
    // The command line's bytes are stored as they came: a path is the file system's bytes.
    const bool stored = commandLine.empty() || SaveLastLocation(ini, commandLine);

    HttpClient client("Aracnide");
    RunContext ctx(&client);
    QtPrompts prompts;
    const auto windows = OpenWindowLister();
    DlgCheck dialog(ctx, ini, prompts, *windows, QString::fromLatin1(kVersion));
    if (!stored)
        QTimer::singleShot(0, &dialog, [&] { dialog.SettingsWriteFailed(ini.LastError()); });
    dialog.exec();

    // The scratch buffer's guard byte is never overwritten here (no fixed-size buffers), so the
    // exit code is that of an intact guard.
    return 1;
}

}  // namespace aracnide
