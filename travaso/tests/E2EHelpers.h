// What the end-to-end tests share: driving the X server with xdotool and writing the files of a source tree.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

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

}  // namespace travaso
