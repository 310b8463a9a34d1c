#pragma once

// Files the tests write and read back as bytes, straight through the toolkit (not through the program's own
// file system, which is what they check).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace calamo::testing {

// The whole file, or "<missing>" when it cannot be read.
inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Replaces the file at `path` with `bytes`; fails the test when it cannot.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
}

}  // namespace calamo::testing
