#include "CopierEnvironment.h"
#include "QtPrompts.h"
#include "TravasoMain.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("TRAVASO");
    QApplication::setApplicationDisplayName("Travaso");

    QtPrompts prompts;
    TForm1 form(CopierEnvironment::FromSystem(), prompts);
    prompts.SetParent(&form);
    form.show();
    return app.exec();
}
