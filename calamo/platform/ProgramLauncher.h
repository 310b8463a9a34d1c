#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace calamo {

// Starts other programs (the browsers of a preview). Tests hand the commands a recording one.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;

    // Starts `program` with `arguments`, each passed as one argument unchanged, and does not wait for it.
    // The system's reason when it could not be started.
    virtual std::optional<QString> startDetached(const QString& program, const QStringList& arguments) = 0;
};

// The launcher of the running system: a program name is looked up in PATH.
class ProcessLauncher final : public ProgramLauncher {
public:
    std::optional<QString> startDetached(const QString& program, const QStringList& arguments) override;
};

}  // namespace calamo
