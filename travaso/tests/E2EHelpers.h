// What the end-to-end tests share: installing and starting the program, driving the X server with xdotool,
// reading the log, and writing the files of a source tree.
#pragma once

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace travaso {

// Runs xdotool with args and returns its standard output; fails the test when it does not end in time.
inline QString Xdotool(const QStringList& args, int timeoutMs = 20000)
{
    QProcess p;
    p.start("xdotool", args);
    EXPECT_TRUE(p.waitForFinished(timeoutMs)) << "xdotool " << args.join(' ').toStdString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Writes `data` to `path`, making the folders on the way.
inline void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
}

// A copy of the program built by this build at exe, which only its owner may run.
inline void InstallCopier(const QString& exe)
{
    QDir().mkpath(QFileInfo(exe).path());
    ASSERT_TRUE(QFile::copy(TRAVASO_BINARY, exe));
    QFile::setPermissions(exe, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The program's environment: copies go under targetRoot, its one-copy socket into runtimeDir (out of the
// shared temporary folder), and it draws on the X server.
inline QProcessEnvironment CopierProcessEnvironment(const QString& targetRoot, const QString& runtimeDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TRAVASO_ROOT", targetRoot);
    env.insert("XDG_RUNTIME_DIR", runtimeDir);
    env.insert("QT_QPA_PLATFORM", "xcb");
    return env;
}

// Ends p if it still runs.
inline void EndProcess(QProcess& p)
{
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(10000);
    }
}

// The copier's window once one shows; empty when none does in time.
inline QString FindCopierWindow()
{
    return Xdotool({"search", "--sync", "--onlyvisible", "--name", "^Travaso v3\\.03$"}).section('\n', 0, 0);
}

// A click at the window's client point (x, y).
inline void ClickAt(const QString& window, int x, int y)
{
    Xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y), "click", "1"});
}

// The log's text, copied from Memo1 through the clipboard.
inline QString ReadLog(const QString& window)
{
    ClickAt(window, 300, 70);
    Xdotool({"key", "--window", window, "ctrl+a", "ctrl+c"});
    return QGuiApplication::clipboard()->text();
}

// Polls condition until it holds (true) or ms have passed (false); this process's events run between polls.
inline bool WaitFor(const std::function<bool()>& condition, int ms = 30000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(50);  // between polls of a condition, not a wait for it
    }
    return true;
}

}  // namespace travaso
