// A stand-in for the copier in the single-instance tests: a form carrying the application component.
// Prints one line per event on standard output:
//   "first" or "second <form left>" at start; "another" then "front <minimised> <visible>" for each
//   message from a later start. Flags: --leave (a second start that does not bring the first to the front),
//   --minimized (the first start's form starts minimised).

#include "zShowApp.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace travaso {

namespace {

void Say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace

int Run(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QWidget form;
    form.setGeometry(50, 60, 200, 100);
    TzShowApp showApp(&form);
    showApp.SetOnlyOneInstance(true);
    QObject::connect(&showApp, &TzShowApp::OnSecondInstance, [&](TzShowApp*, bool& bring) {
        if (args.contains("--leave"))
            bring = false;
    });
    QObject::connect(&showApp, &TzShowApp::OnAnotherInstance, [&](TzShowApp*) {
        Say("another");
        // After the component has brought the form up.
        QTimer::singleShot(0, [&] {
            Say(QString("front %1 %2").arg(int(form.isMinimized())).arg(int(form.isVisible())));
        });
    });
    showApp.Loaded();
    if (showApp.IsSecondInstance()) {
        Say(QString("second %1").arg(form.x()));
    } else {
        Say("first");
        if (args.contains("--minimized"))
            form.showMinimized();
        else
            form.show();
    }
    return app.exec();
}

}  // namespace travaso

int main(int argc, char** argv)
{
    return travaso::Run(argc, argv);
}
