#pragma once

#include <QObject>

#include <functional>

namespace calamo {

// Runs `handler` on the event loop of `context`'s thread when the process receives SIGTERM or SIGHUP (the session
// or the system asks it to end). Install once.
void onStopSignals(QObject* context, std::function<void()> handler);

}  // namespace calamo
