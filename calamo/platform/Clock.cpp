#include "Clock.h"

#include <QTimer>

#include <chrono>

namespace calamo {

namespace {

class QtTimer final : public ClockTimer {
public:
    QtTimer(std::function<void()> handler, bool repeating)
    {
        timer_.setSingleShot(!repeating);
        QObject::connect(&timer_, &QTimer::timeout, std::move(handler));
    }
    void start(int ms) override { timer_.start(ms); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

qint64 SystemClock::steadyMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QDateTime SystemClock::wallNow() const
{
    return QDateTime::currentDateTimeUtc();
}

std::unique_ptr<ClockTimer> SystemClock::makeTimer(std::function<void()> handler, bool repeating)
{
    return std::make_unique<QtTimer>(std::move(handler), repeating);
}

}  // namespace calamo
