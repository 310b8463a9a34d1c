#include "ProcessInfo.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace calamo {

namespace {

// Field 22 of /proc/PID/stat; the command name (field 2) is in parentheses and may hold blanks.
std::optional<quint64> startTicksOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = stat.read(4096);
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    // After the name: field 3 is the state, so field 22 is the 20th here.
    if (fields.size() < 20)
        return std::nullopt;
    bool ok = false;
    const quint64 ticks = fields[19].toULongLong(&ok);
    return ok ? std::optional<quint64>(ticks) : std::nullopt;
}

}  // namespace

ProcessStamp currentProcess()
{
    const qint64 pid = ::getpid();
    return {pid, startTicksOf(pid).value_or(0)};
}

void lowerThisThreadsPriority()
{
    // On Linux a nice value set for a thread id applies to that thread alone.
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
}

bool isRunning(const ProcessStamp& stamp)
{
    if (stamp.pid <= 0 || (::kill(static_cast<pid_t>(stamp.pid), 0) != 0 && errno != EPERM))
        return false;
    const std::optional<quint64> ticks = startTicksOf(stamp.pid);
    return !ticks || *ticks == stamp.startTicks;
}

}  // namespace calamo
