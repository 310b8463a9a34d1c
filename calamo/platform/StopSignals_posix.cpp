#include "StopSignals.h"

#include <QSocketNotifier>

#include <csignal>

#include <sys/socket.h>
#include <unistd.h>

namespace calamo {

namespace {

// The signal handler may only write to a descriptor: the event loop reads the other end.
int signalWriteEnd = -1;

void notify(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalWriteEnd, &byte, 1);
}

}  // namespace

void onStopSignals(QObject* context, std::function<void()> handler)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        return;
    signalWriteEnd = fds[0];
    auto* notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [fd = fds[1], handler = std::move(handler)] {
        char buffer[16];
        while (::read(fd, buffer, sizeof buffer) > 0) {}
        handler();
    });
    struct sigaction action {};
    action.sa_handler = notify;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

}  // namespace calamo
