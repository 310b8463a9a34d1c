#pragma once

#include <QPixmap>
#include <QPointer>
#include <QScreen>

namespace travaso {

// The whole screen as a surface: its resolution, and what it shows. Applications on a Linux desktop may
// read the screen but not draw over other programs' windows, so the surface is read-only.
class TzDesktop {
public:
    // The primary screen unless another is given.
    explicit TzDesktop(QScreen* screen = nullptr);

    int Width() const;
    int Height() const;
    // A picture of the whole screen, Width x Height (null where the system refuses it).
    QPixmap Grab() const;

private:
    QPointer<QScreen> screen_;
};

}  // namespace travaso
