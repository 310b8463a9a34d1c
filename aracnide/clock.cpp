#include "general.h"

#include <algorithm>
#include <thread>

namespace aracnide {

Clock::TimePoint SystemClock::Now() const
{
    return std::chrono::steady_clock::now();
}

void SystemClock::Wait(std::chrono::milliseconds span, const std::function<void()>& yield)
{
    const TimePoint until = Now() + span;
    for (TimePoint now = Now(); now < until; now = Now()) {
        if (yield)
            yield();
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(20)));
    }
}

SystemClock& SystemClock::Instance()
{
    static SystemClock clock;  // stateless: one object serves every run
    return clock;
}

}  // namespace aracnide
