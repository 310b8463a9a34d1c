#include "Clock.h"
#include "CopierEnvironment.h"
#include "FileSystem_posix.h"
#include "QtItalian.h"
#include "QtPrompts.h"
#include "TravasoMain.h"

#include <QApplication>

namespace travaso {

int Run(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The task-bar title until the window's application component sets its own, with the icon, the
    // hint settings and the one-copy rule. No display name: Qt would append it to every window title,
    // and the caption is exactly the window's.
    QApplication::setApplicationName("TRAVASO");
    QApplication::setDesktopFileName("org.suiteweb.travaso");
    InstallQtItalian(app);

    PosixFileSystem fs;
    QtPrompts prompts;
    const SteadyClock clock;
    TForm1 form(CopierEnvironment::FromSystem(), fs, prompts, clock);
    prompts.SetParent(&form);
    form.show();
    return app.exec();
}

}  // namespace travaso

int main(int argc, char** argv)
{
    return travaso::Run(argc, argv);
}
