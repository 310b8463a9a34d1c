#include "Recovery.h"

#include "FakeFileSystem.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

RecoveryRecord recordFor(const QString& fileName, Encoding encoding)
{
    RecoveryRecord record;
    record.fileName = fileName;
    record.encoding = encoding;
    record.written = QDateTime(QDate(2026, 12, 8), QTime(23, 5, 7), Qt::UTC);
    record.writer = {4711, 123456};
    return record;
}

TEST(RecoveryCopy, RecordsAndCopiesComeBackExactlyForEveryEncoding)
{
    QTemporaryDir dir;
    PosixFileSystem files;
    const RecoveryFolder folder(files, dir.filePath(QStringLiteral("state/calamo/recovery")));
    // Lone surrogates, the escapes of bytes that were not UTF-8, separators: the copy keeps any 16-bit text.
    const QString text = QString::fromUtf16(u"<P>perch\u00e9\n\u2029\u00a0\U0001F600") + QChar(0xDC85) + QChar(0xD800);
    int n = 0;
    for (Encoding encoding : {Encoding::Windows1252, Encoding::Latin9, Encoding::Utf8, Encoding::Utf8WithBom,
                              Encoding::Utf16LE, Encoding::Utf16BE, Encoding::Utf32LE, Encoding::Utf32BE}) {
        const QString key = QStringLiteral("4711-%1").arg(++n);
        // A file name may hold a line break or a percent sign.
        const RecoveryRecord record = recordFor(QStringLiteral("/tmp/a b\n%20è.htm"), encoding);
        ASSERT_EQ(folder.write(key, text, record), std::nullopt);
    }
    const std::vector<RecoveryFolder::Entry> entries = folder.entries();
    ASSERT_EQ(entries.size(), 8u);
    for (const RecoveryFolder::Entry& entry : entries) {
        ASSERT_TRUE(entry.record.has_value()) << entry.problem.toStdString();
        EXPECT_EQ(entry.record->fileName, "/tmp/a b\n%20è.htm");
        EXPECT_EQ(entry.record->writer, (ProcessStamp{4711, 123456}));
        EXPECT_EQ(entry.record->written, recordFor({}, {}).written);
        QString problem;
        EXPECT_EQ(folder.readText(entry, problem), text) << problem.toStdString();
    }
    EXPECT_EQ(entries[4].record->encoding, Encoding::Utf16LE);

    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder.path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(folder.path() + "/4711-1.copy").constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    folder.remove(QStringLiteral("4711-1"));
    EXPECT_EQ(folder.entries().size(), 7u);
    EXPECT_FALSE(QFile::exists(folder.path() + "/4711-1.copy"));
}

TEST(RecoveryCopy, DamagedRecordsAndCopiesAreReportedNotRead)
{
    QTemporaryDir dir;
    PosixFileSystem files;
    const RecoveryFolder folder(files, dir.path());
    const RecoveryRecord record = recordFor(QStringLiteral("/tmp/a.htm"), Encoding::Utf8);
    ASSERT_EQ(folder.write(QStringLiteral("1-1"), QStringLiteral("uno"), record), std::nullopt);
    ASSERT_EQ(folder.write(QStringLiteral("1-2"), QStringLiteral("due"), record), std::nullopt);
    ASSERT_EQ(folder.write(QStringLiteral("1-3"), QStringLiteral("tre"), record), std::nullopt);
    writeFile(dir.filePath(QStringLiteral("1-1.record")), formatRecord(record).left(40));  // cut short
    writeFile(dir.filePath(QStringLiteral("1-2.copy")), QByteArray("d\0u\0e\0!\0", 8));    // not the text recorded
    const std::vector<RecoveryFolder::Entry> entries = folder.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].record.has_value());
    EXPECT_TRUE(entries[0].problem.contains(QStringLiteral("danneggiata"))) << entries[0].problem.toStdString();
    QString problem;
    EXPECT_EQ(folder.readText(entries[1], problem), std::nullopt);
    EXPECT_TRUE(problem.contains(QStringLiteral("1-2.copy"))) << problem.toStdString();
    EXPECT_EQ(folder.readText(entries[2], problem), "tre");

    for (const char* bad : {"", "calamo-recovery 1\n", "calamo-recovery 2\nfile=/a\n"}) {
        EXPECT_EQ(parseRecord(bad), std::nullopt) << bad;
    }
    QByteArray unknown = formatRecord(record);
    unknown.replace("encoding=utf-8", "encoding=klingon");
    EXPECT_EQ(parseRecord(unknown), std::nullopt);
}

TEST(RecoveryCopy, AFailedWriteIsReportedAndLeavesNoRecordToOffer)
{
    QTemporaryDir dir;
    FakeFileSystem files;
    const QString path = dir.filePath(QStringLiteral("recovery"));
    const RecoveryFolder folder(files, path);
    const RecoveryRecord record = recordFor(QStringLiteral("/tmp/a.htm"), Encoding::Utf8);

    files.fail(FsCall::MakeFolder, path, EACCES);
    EXPECT_EQ(folder.write(QStringLiteral("1-1"), QStringLiteral("uno"), record), folderError(path, EACCES));
    FakeFileSystem copyFails;
    copyFails.fail(FsCall::Write, QStringLiteral(".copy"), ENOSPC);
    const RecoveryFolder full(copyFails, path);
    EXPECT_EQ(full.write(QStringLiteral("1-1"), QStringLiteral("uno"), record), writeError(path + "/1-1.copy", ENOSPC));
    EXPECT_TRUE(full.entries().empty()) << "a copy that failed gets no record";
    EXPECT_EQ(copyFails.count(FsCall::Write), 1);
}

TEST(RecoveryCopy, TheFolderFollowsXdgStateHome)
{
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/var/state-of-user");
    EXPECT_EQ(RecoveryFolder::defaultPath(), "/var/state-of-user/calamo/recovery");
    qputenv("XDG_STATE_HOME", "relative/is/ignored");
    EXPECT_EQ(RecoveryFolder::defaultPath(), QDir::homePath() + "/.local/state/calamo/recovery");
    if (old.isNull())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", old);
}

}  // namespace
