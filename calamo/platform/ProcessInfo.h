#pragma once

#include <QtGlobal>

#include <optional>

namespace calamo {

// Who wrote a recovery copy: a process id and when that process started, so that a later process that happens
// to get the same id is not taken for the writer.
struct ProcessStamp {
    qint64 pid = 0;
    quint64 startTicks = 0;  // clock ticks after boot at which the process started
    friend bool operator==(const ProcessStamp&, const ProcessStamp&) = default;
};

ProcessStamp currentProcess();
// Whether the process of `stamp` still runs.
bool isRunning(const ProcessStamp& stamp);

// Lets the calling thread yield the processor to the others of the process (background work such as recovery
// copies, which must not slow typing on a busy machine).
void lowerThisThreadsPriority();

}  // namespace calamo
