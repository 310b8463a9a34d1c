#include "zDesktop.h"

#include <QGuiApplication>
#include <QScreen>

namespace travaso {

TzDesktop::TzDesktop(QScreen* screen) : screen_(screen ? screen : QGuiApplication::primaryScreen()) {}

int TzDesktop::Width() const
{
    return screen_ ? screen_->geometry().width() : 0;
}

int TzDesktop::Height() const
{
    return screen_ ? screen_->geometry().height() : 0;
}

QPixmap TzDesktop::Grab() const
{
    return screen_ ? screen_->grabWindow(0) : QPixmap();
}

}  // namespace travaso
