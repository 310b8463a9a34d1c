#include "ProgramLauncher.h"

#include <QProcess>

namespace calamo {

std::optional<QString> ProcessLauncher::startDetached(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // The browser gets no terminal input, and its output does not mix with ours.
    process.setStandardInputFile(QProcess::nullDevice());
    if (!process.startDetached())
        return process.errorString();
    return std::nullopt;
}

}  // namespace calamo
