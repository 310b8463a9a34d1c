#pragma once

// The user's hands for the end-to-end tests: keys, clicks, focus and window titles through xdotool, and a
// bounded wait for what they cause.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace calamo::e2e {

// Runs xdotool and returns what it printed; fails the test when it does not end well.
inline QString xdotool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForFinished(10000) || process.exitCode() != 0) {
        ADD_FAILURE() << "xdotool " << args.join(u' ').toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Polls `done` every 20 ms until it holds or `ms` have passed.
inline bool waitUntil(const std::function<bool()>& done, int ms = 15000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Types `text` as a user would, a key every `delayMs`.
inline void type(const QString& text, int delayMs = 30)
{
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text});
}

// One key or combination, in xdotool's names ("Return", "ctrl+End").
inline void key(const QString& name)
{
    xdotool({QStringLiteral("key"), name});
}

// Keys one after the other, 60 ms apart, so that menus and dialogs keep up.
inline void keys(const QStringList& names)
{
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + names);
}

// Holds a key while another is pressed and released, as a user does (xdotool's "alt+i" releases Alt first).
inline void chord(const char* modifier, const char* key)
{
    xdotool({QStringLiteral("keydown"), QLatin1String(modifier), QStringLiteral("key"), QLatin1String(key),
             QStringLiteral("keyup"), QLatin1String(modifier)});
}

// Clicks `button` (1 left, 3 right) at (x, y) of `window`.
inline void click(const QString& window, int x, int y, int button = 1)
{
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x), QString::number(y),
             QStringLiteral("click"), QString::number(button)});
}

// Opens the first menu of the menu bar ("File").
inline void openFirstMenu(const QString& window)
{
    click(window, 12, 10);
}

inline void focus(const QString& window)
{
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
}

inline QString title(const QString& window)
{
    return xdotool({QStringLiteral("getwindowname"), window});
}

// Waits until the title of `window` ends in `end`.
inline bool waitForTitle(const QString& window, const QString& end, int ms = 15000)
{
    return waitUntil([&] { return title(window).endsWith(end); }, ms);
}

// The visible windows whose names match the regular expression `name`, of the process `pid` when given.
inline QStringList visibleWindows(const QString& name, qint64 pid = 0)
{
    QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible")};
    if (pid != 0)
        args << QStringLiteral("--pid") << QString::number(pid);
    args << QStringLiteral("--name") << name;
    // Not through xdotool(): a search that finds nothing ends with status 1.
    QProcess search;
    search.start(QStringLiteral("xdotool"), args);
    search.waitForFinished(5000);
    return QString::fromUtf8(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace calamo::e2e
