#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace travaso {

namespace {

unsigned ModeOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mode & 0777;
}

TEST(SingleInstanceTest, TheMeetingFolderIsTheUsersOwnOrNone)
{
    const QTemporaryDir base;
    const unsigned me = getuid();
    const QString mine = base.path() + "/travaso-" + QString::number(me);
    EXPECT_EQ(PrivateDirectory(base.path(), me), mine);
    EXPECT_EQ(ModeOf(mine), 0700u);
    chmod(QFile::encodeName(mine).constData(), 0777);  // opened up meanwhile: closed again
    EXPECT_EQ(PrivateDirectory(base.path(), me), mine);
    EXPECT_EQ(ModeOf(mine), 0700u);

    // A folder of another user under the name, or a link there, is never used.
    EXPECT_EQ(PrivateDirectory(base.path(), me + 1), "");
    ASSERT_TRUE(QDir().mkdir(base.path() + "/elsewhere"));
    ASSERT_TRUE(QFile::link(base.path() + "/elsewhere", base.path() + "/travaso-" + QString::number(me + 2)));
    EXPECT_EQ(PrivateDirectory(base.path(), me + 2), "");
}

TEST(SingleInstanceTest, OnlyAPeerOfTheSameUserCounts)
{
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(PeerIsUser(pair[0], getuid()));
    EXPECT_FALSE(PeerIsUser(pair[0], getuid() + 1));
    EXPECT_FALSE(PeerIsUser(-1, getuid()));
    close(pair[0]);
    close(pair[1]);
}

TEST(SingleInstanceTest, ANameTakenByAnotherUserNeverStopsAStart)
{
    // This process listens under the name of a user it is not: to that user's start it is a squatter.
    const QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const unsigned other = getuid() + 1;
    const QByteArray exe = "/opt/prova/travaso";
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(InstanceSocketName(runtime.path(), other, exe)));

    SingleInstance start(exe, other);
    EXPECT_TRUE(start.Claim()) << "runs as a first start, with its window";
    SingleInstance own(exe);
    EXPECT_TRUE(own.Claim()) << "the user's own name is free";
    qputenv("XDG_RUNTIME_DIR", saved);
}

}  // namespace

}  // namespace travaso
