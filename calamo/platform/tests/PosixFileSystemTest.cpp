#include "FileSystem.h"

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

class PosixFileSystemTest : public ::testing::Test {
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
    QByteArray bytesOf(const QString& path)
    {
        const BytesResult read = fs.readRegularFile(path, kMaxDocumentBytes);
        return read.bytes.value_or("<unreadable>");
    }
    static struct stat statOf(const QString& path)
    {
        struct stat st {};
        EXPECT_EQ(::stat(native(path).constData(), &st), 0);
        return st;
    }

    QTemporaryDir dir;
    PosixFileSystem fs;
};

TEST_F(PosixFileSystemTest, WritesAtomicallyAndReportsWhatFails)
{
    const QString page = path("page.htm");
    ASSERT_EQ(fs.writeFileAtomically(page, "one\r\ntwo", LinkPolicy::Follow), std::nullopt);
    const ReadResult read = readDocumentFile(fs, page);
    ASSERT_TRUE(read.document.has_value());
    EXPECT_EQ(read.document->text, "one\ntwo");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"})
        << "no temporary file is left behind";

    const auto error = fs.writeFileAtomically(path("missing/page.htm"), "x", LinkPolicy::Follow);
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    const ReadResult missing = readDocumentFile(fs, path("nothing.htm"));
    EXPECT_FALSE(missing.document.has_value());
    EXPECT_FALSE(missing.error.isEmpty());
}

TEST_F(PosixFileSystemTest, OnlyRegularFilesAreReadOrReplaced)
{
    const QString fifo = path("fifo.htm");
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0600), 0);
    const BytesResult read =
        fs.readRegularFile(fifo, kMaxDocumentBytes);  // would wait for a writer for ever if it opened blocking
    EXPECT_FALSE(read.bytes.has_value());
    EXPECT_TRUE(read.error.contains(QStringLiteral("non è un file regolare"))) << read.error.toStdString();
    EXPECT_TRUE(fs.writeFileAtomically(fifo, "x", LinkPolicy::Follow).has_value());
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode)) << "the FIFO is not replaced";

    EXPECT_FALSE(fs.readRegularFile(dir.path(), kMaxDocumentBytes).bytes.has_value());
    EXPECT_FALSE(fs.readRegularFile(QStringLiteral("/dev/zero"), kMaxDocumentBytes).bytes.has_value());
}

TEST_F(PosixFileSystemTest, TheReplacementKeepsModeLinksAndTheLinkedFile)
{
    const QString page = path("page.htm");
    write(page, "old");
    ASSERT_EQ(::chmod(native(page).constData(), 0640), 0);
    ASSERT_EQ(fs.writeFileAtomically(page, "new", LinkPolicy::Follow), std::nullopt);
    EXPECT_EQ(statOf(page).st_mode & 07777, 0640u);
    EXPECT_EQ(bytesOf(page), "new");

    // Hard links stay one file.
    const QString second = path("second.htm");
    ASSERT_EQ(::link(native(page).constData(), native(second).constData()), 0);
    const ino_t inode = statOf(page).st_ino;
    ASSERT_EQ(fs.writeFileAtomically(second, "linked", LinkPolicy::Follow), std::nullopt);
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(statOf(second).st_ino, inode);
    EXPECT_EQ(bytesOf(page), "linked");

    // A symbolic link stays a link to the file it named.
    const QString symbolic = path("symbolic.htm");
    ASSERT_EQ(::symlink("page.htm", native(symbolic).constData()), 0);
    ASSERT_EQ(fs.writeFileAtomically(symbolic, "through the link", LinkPolicy::Follow), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::lstat(native(symbolic).constData(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(bytesOf(page), "through the link");
}

TEST_F(PosixFileSystemTest, AFailedWriteInPlacePutsTheOldBytesBack)
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
    const auto error = fs.writeFileAtomically(page, QByteArray(5000, 'n'), LinkPolicy::Follow);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(bytesOf(page), QByteArray(100, 'o'));
}

TEST_F(PosixFileSystemTest, AWriteThatFailsHalfWayLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const QString page = path("calamo.cfg");
    write(page, QByteArray(100, 'o'));

    // A file size limit below the new size makes the write fail half-way, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = fs.writeFileAtomically(page, QByteArray(5000, 'n'), LinkPolicy::Follow);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(bytesOf(page), QByteArray(100, 'o'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"calamo.cfg"});
}

TEST_F(PosixFileSystemTest, FoldersAreMadePrivateAndListedFilesComeSorted)
{
    const QString folder = path("state/calamo/recovery");
    ASSERT_EQ(fs.makePrivateFolder(folder), std::nullopt);
    ASSERT_EQ(fs.makePrivateFolder(folder), std::nullopt) << "a folder that stands is no error";
    EXPECT_EQ(statOf(folder).st_mode & 0777, 0700u);
    write(folder + "/b.record", "b");
    write(folder + "/.a.copy", "a");
    ASSERT_EQ(::mkdir(native(folder + "/sub").constData(), 0700), 0);
    EXPECT_EQ(fs.listFiles(folder), (QStringList{".a.copy", "b.record"}));
    EXPECT_TRUE(fs.listFiles(path("nowhere")).isEmpty());

    fs.restrictToOwner(folder + "/b.record");
    EXPECT_EQ(statOf(folder + "/b.record").st_mode & 0777, 0600u);
    EXPECT_EQ(fs.removeFile(folder + "/b.record"), std::nullopt);
    EXPECT_FALSE(fs.exists(folder + "/b.record"));
    EXPECT_EQ(fs.removeFile(folder + "/b.record"), std::nullopt) << "a missing file is no error";
    EXPECT_TRUE(fs.removeFile(folder + "/sub").has_value());

    write(path("file"), "x");
    const auto error = fs.makePrivateFolder(path("file/below"));
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Impossibile creare la cartella \"") + path("file/below")))
        << error->toStdString();
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

TEST_F(PosixFileSystemTest, AWritableFileInAClosedFolderIsWrittenInPlace)
{
    const QString page = path("page.htm");
    write(page, "old text");
    ASSERT_EQ(::chmod(native(page).constData(), 0666), 0);
    ASSERT_EQ(::chmod(native(dir.path()).constData(), 0555), 0);  // no temporary file can be made here
    const ino_t inode = statOf(page).st_ino;

    std::optional<QString> error;
    asUnprivileged([&] { error = fs.writeFileAtomically(page, "new", LinkPolicy::Follow); });
    ::chmod(native(dir.path()).constData(), 0700);

    EXPECT_EQ(error, std::nullopt) << error.value_or(QString()).toStdString();
    EXPECT_EQ(bytesOf(page), "new");
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(statOf(page).st_mode & 07777, 0666u);

    // A file the user may not write stays an error.
    ASSERT_EQ(::chmod(native(page).constData(), 0444), 0);
    ::chmod(native(dir.path()).constData(), 0555);
    asUnprivileged([&] { error = fs.writeFileAtomically(page, "newer", LinkPolicy::Follow); });
    ::chmod(native(dir.path()).constData(), 0700);
    EXPECT_TRUE(error.has_value());
    EXPECT_EQ(bytesOf(page), "new");
}

TEST_F(PosixFileSystemTest, AWriteProtectedFileIsRefusedInAWritableFolderAndTheErrorNamesIt)
{
    const QString page = path("page.htm");
    write(page, "old text");
    ASSERT_EQ(::chmod(native(page).constData(), 0444), 0);
    ASSERT_EQ(::chmod(native(dir.path()).constData(), 0777), 0);
    const ino_t inode = statOf(page).st_ino;

    std::optional<QString> error;
    asUnprivileged([&] { error = fs.writeFileAtomically(page, "new", LinkPolicy::Follow); });
    ::chmod(native(dir.path()).constData(), 0700);

    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith(QStringLiteral("Impossibile salvare il file \"") + page + "\": "))
        << error->toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(std::strerror(EACCES)), error->mid(error->indexOf("\": ") + 3).chopped(1));
    EXPECT_EQ(bytesOf(page), "old text");
    EXPECT_EQ(statOf(page).st_ino, inode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});

    const BytesResult missing = fs.readRegularFile(path("nothing.htm"), kMaxDocumentBytes);
    EXPECT_TRUE(missing.error.startsWith(QStringLiteral("Impossibile leggere il file \"") + path("nothing.htm")))
        << missing.error.toStdString();
}

TEST_F(PosixFileSystemTest, AFileLargerThanTheEditorHoldsIsRefusedUnreadAndAPrefixReadStopsInTime)
{
    const QString huge = path("huge.htm");
    write(huge, "<P>start");
    ASSERT_EQ(::truncate(native(huge).constData(), kMaxDocumentBytes + 1), 0);  // sparse: costs no disk
    const ReadResult read = readDocumentFile(fs, huge);
    EXPECT_FALSE(read.document.has_value());
    EXPECT_TRUE(read.error.contains(QStringLiteral("troppo grande"))) << read.error.toStdString();
    EXPECT_TRUE(read.error.contains(huge));

    const BytesResult prefix = fs.readRegularFilePrefix(huge, 5);
    EXPECT_EQ(prefix.bytes.value_or("<none>"), "<P>st");
    write(path("small.htm"), "abc");
    EXPECT_EQ(fs.readRegularFilePrefix(path("small.htm"), 3).bytes.value_or("<none>"), "abc");
}

TEST_F(PosixFileSystemTest, ATemporaryFileReplacesALinkAtItsPathInsteadOfWritingThroughIt)
{
    const QString target = path("precious.htm");
    write(target, "precious");
    const QString preview = path("~~temp.htm");
    ASSERT_EQ(::symlink(native(target).constData(), native(preview).constData()), 0);
    ASSERT_EQ(fs.writeFileAtomically(preview, "preview", LinkPolicy::Replace), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::lstat(native(preview).constData(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(bytesOf(preview), "preview");
    EXPECT_EQ(bytesOf(target), "precious");
}

TEST_F(PosixFileSystemTest, TheReplacementKeepsOwnerAndGroupWhereTheyMayBeSet)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const QString page = path("page.htm");
    write(page, "old");
    ASSERT_EQ(::chown(native(page).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(native(page).constData(), 0604), 0);
    ASSERT_EQ(fs.writeFileAtomically(page, "new", LinkPolicy::Follow), std::nullopt);
    const struct stat st = statOf(page);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

}  // namespace
