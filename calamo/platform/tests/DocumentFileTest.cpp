#include "DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace calamo;

namespace {

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    static QByteArray native(const QString& path) { return QFile::encodeName(path); }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray bytesOf(const QString& path)
    {
        const BytesResult read = readRegularFile(path);
        return read.bytes.value_or("<unreadable>");
    }
    static struct stat statOf(const QString& path)
    {
        struct stat st {};
        EXPECT_EQ(::stat(native(path).constData(), &st), 0);
        return st;
    }

    QTemporaryDir dir;
};

TEST_F(DocumentFileTest, WritesAtomicallyAndReportsWhatFails)
{
    const QString page = path("page.htm");
    ASSERT_EQ(writeFileAtomically(page, "one\r\ntwo"), std::nullopt);
    const ReadResult read = readDocumentFile(page);
    ASSERT_TRUE(read.document.has_value());
    EXPECT_EQ(read.document->text, "one\ntwo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"})
        << "no temporary file is left behind";

    const auto error = writeFileAtomically(path("missing/page.htm"), "x");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    const ReadResult missing = readDocumentFile(path("nothing.htm"));
    EXPECT_FALSE(missing.document.has_value());
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST_F(DocumentFileTest, OnlyRegularFilesAreReadOrReplaced)
{
    const QString fifo = path("fifo.htm");
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0600), 0);
    const BytesResult read = readRegularFile(fifo);  // would wait for a writer for ever if it opened blocking
    EXPECT_FALSE(read.bytes.has_value());
    EXPECT_TRUE(read.error.contains(QStringLiteral("non è un file regolare"))) << read.error.toStdString();
    EXPECT_TRUE(writeFileAtomically(fifo, "x").has_value());
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode)) << "the FIFO is not replaced";

    EXPECT_FALSE(readRegularFile(dir.path()).bytes.has_value());
    EXPECT_FALSE(readRegularFile(QStringLiteral("/dev/zero")).bytes.has_value());
}

TEST_F(DocumentFileTest, TheReplacementKeepsModeLinksAndTheLinkedFile)
{
    const QString page = path("page.htm");
    write(page, "old");
    ASSERT_EQ(::chmod(native(page).constData(), 0640), 0);
    ASSERT_EQ(writeFileAtomically(page, "new"), std::nullopt);
    EXPECT_EQ(statOf(page).st_mode & 07777, 0640u);
    EXPECT_EQ(bytesOf(page), "new");

    // Hard links stay one file.
    const QString second = path("second.htm");
    ASSERT_EQ(::link(native(page).constData(), native(second).constData()), 0);
    const ino_t inode = statOf(page).st_ino;
    ASSERT_EQ(writeFileAtomically(second, "linked"), std::nullopt);
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(statOf(second).st_ino, inode);
    EXPECT_EQ(bytesOf(page), "linked");

    // A symbolic link stays a link to the file it named.
    const QString symbolic = path("symbolic.htm");
    ASSERT_EQ(::symlink("page.htm", native(symbolic).constData()), 0);
    ASSERT_EQ(writeFileAtomically(symbolic, "through the link"), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::lstat(native(symbolic).constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(bytesOf(page), "through the link");
}

TEST_F(DocumentFileTest, AFailedWriteInPlacePutsTheOldBytesBack)
{
    const QString page = path("page.htm");
    write(page, QByteArray(100, 'o'));
    ASSERT_EQ(::link(native(page).constData(), native(path("other.htm")).constData()), 0);

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = writeFileAtomically(page, QByteArray(5000, 'n'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(bytesOf(page), QByteArray(100, 'o'));
}

// Runs `body` with the file-system identity of an unprivileged user when the tests run as root (the
// permission checks then apply to us as to anyone).
template <typename Body>
void asUnprivileged(Body body)
{
    if (::geteuid() != 0) {
        body();
        return;
    }
    const int oldGid = ::setfsgid(65534);
    const int oldUid = ::setfsuid(65534);
    body();
    ::setfsuid(static_cast<uid_t>(oldUid));
    ::setfsgid(static_cast<gid_t>(oldGid));
}

TEST_F(DocumentFileTest, AWritableFileInAClosedFolderIsWrittenInPlace)
{
    const QString page = path("page.htm");
    write(page, "old text");
    ASSERT_EQ(::chmod(native(page).constData(), 0666), 0);
    ASSERT_EQ(::chmod(native(dir.path()).constData(), 0555), 0);  // no temporary file can be made here
    const ino_t inode = statOf(page).st_ino;

    std::optional<QString> error;
    asUnprivileged([&] { error = writeFileAtomically(page, "new"); });
    ::chmod(native(dir.path()).constData(), 0700);

    EXPECT_EQ(error, std::nullopt) << error.value_or(QString()).toStdString();
    EXPECT_EQ(bytesOf(page), "new");
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(statOf(page).st_mode & 07777, 0666u);

    // A file the user may not write stays an error.
    ASSERT_EQ(::chmod(native(page).constData(), 0444), 0);
    ::chmod(native(dir.path()).constData(), 0555);
    asUnprivileged([&] { error = writeFileAtomically(page, "newer"); });
    ::chmod(native(dir.path()).constData(), 0700);
    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(bytesOf(page), "new");
}

TEST_F(DocumentFileTest, AWriteProtectedFileIsRefusedInAWritableFolderAndTheErrorNamesIt)
{
    const QString page = path("page.htm");
    write(page, "old text");
    ASSERT_EQ(::chmod(native(page).constData(), 0444), 0);
    ASSERT_EQ(::chmod(native(dir.path()).constData(), 0777), 0);
    const ino_t inode = statOf(page).st_ino;

    std::optional<QString> error;
    asUnprivileged([&] { error = writeFileAtomically(page, "new"); });
    ::chmod(native(dir.path()).constData(), 0700);

    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Impossibile salvare il file \"") + page + "\": "))
        << error->toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(std::strerror(EACCES)), error->mid(error->indexOf("\": ") + 3).chopped(1));
    EXPECT_EQ(bytesOf(page), "old text");
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});

    const BytesResult missing = readRegularFile(path("nothing.htm"));
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("Impossibile leggere il file \"") + path("nothing.htm")))
        << missing.error.toStdString();
}

TEST_F(DocumentFileTest, AFileLargerThanTheEditorHoldsIsRefusedUnreadAndAPrefixReadStopsInTime)
{
    const QString huge = path("huge.htm");
    write(huge, "<P>start");
    ASSERT_EQ(::truncate(native(huge).constData(), kMaxDocumentBytes + 1), 0);  // sparse: costs no disk
    const ReadResult read = readDocumentFile(huge);
    EXPECT_FALSE(read.document.has_value());
    EXPECT_TRUE(read.error.contains(QStringLiteral("troppo grande"))) << read.error.toStdString();
    EXPECT_TRUE(read.error.contains(huge));

    const BytesResult prefix = readRegularFilePrefix(huge, 5);
    EXPECT_EQ(prefix.bytes.value_or("<none>"), "<P>st");
    write(path("small.htm"), "abc");
    EXPECT_EQ(readRegularFilePrefix(path("small.htm"), 3).bytes.value_or("<none>"), "abc");
}

TEST_F(DocumentFileTest, ATemporaryFileReplacesALinkAtItsPathInsteadOfWritingThroughIt)
{
    const QString target = path("precious.htm");
    write(target, "precious");
    const QString preview = path("~~temp.htm");
    ASSERT_EQ(::symlink(native(target).constData(), native(preview).constData()), 0);
    ASSERT_EQ(writeFileAtomically(preview, "preview", LinkPolicy::Replace), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::lstat(native(preview).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(bytesOf(preview), "preview");
    EXPECT_EQ(bytesOf(target), "precious");
}

TEST_F(DocumentFileTest, TheReplacementKeepsOwnerAndGroupWhereTheyMayBeSet)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const QString page = path("page.htm");
    write(page, "old");
    ASSERT_EQ(::chown(native(page).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(native(page).constData(), 0604), 0);
    ASSERT_EQ(writeFileAtomically(page, "new"), std::nullopt);
    const struct stat st = statOf(page);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

}  // namespace
