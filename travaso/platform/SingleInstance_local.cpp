#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace travaso {

namespace {

constexpr int kConnectMs = 2000;  // a first start that does not take the connection by then is gone
constexpr int kLockMs = 5000;     // two starts at once take turns at the check
constexpr int kMessageMs = 5000;  // a connection that sends no message by then is dropped
constexpr qsizetype kMessageLimit = 64 * 1024;

QString RuntimeDirectory(unsigned uid)
{
    const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!dir.isEmpty() && QFileInfo(dir).isDir() && QFileInfo(dir).isWritable())
        return dir;
    return PrivateDirectory(QDir::tempPath(), uid);
}

}  // namespace

QString PrivateDirectory(const QString& base, unsigned uid)
{
    const QString dir = base + "/travaso-" + QString::number(uid);
    const QByteArray path = QFile::encodeName(dir);
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // Whatever stands there must be a real folder of this user that nobody else may enter; a name taken
    // by another user is not used, whatever it holds.
    struct stat st {};
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid)
        return {};
    if ((st.st_mode & 077) != 0 && chmod(path.constData(), 0700) != 0)
        return {};
    return dir;
}

bool PeerIsUser(int socketFd, unsigned uid)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer && peer.uid == uid;
}

QString InstanceSocketName(const QString& dir, unsigned uid, const QByteArray& executablePath)
{
    const QString prefix = dir + "/travaso-" + QString::number(uid) + "-";
    QByteArray name = executablePath;
    name.replace('/', '+');
    const QString shown = QString::fromLocal8Bit(name);
    // A path that the locale cannot spell (not UTF-8) would lose bytes and could meet another path's name.
    const QString full = prefix + shown;
    if (shown.toLocal8Bit() == name && full.toLocal8Bit().size() < qsizetype(sizeof(sockaddr_un::sun_path)))
        return full;
    return prefix +
           QString::fromLatin1(QCryptographicHash::hash(executablePath, QCryptographicHash::Sha256).toHex().left(32));
}

QByteArray InstanceMessage(const QByteArray& executablePath)
{
    return executablePath + "_Afslut\n";
}

SingleInstance::SingleInstance(const QByteArray& executablePath, QObject* parent)
    : SingleInstance(executablePath, getuid(), parent)
{}

SingleInstance::SingleInstance(const QByteArray& executablePath, unsigned uid, QObject* parent)
    : QObject(parent),
      path_(executablePath),
      uid_(uid)
{
    if (const QString dir = RuntimeDirectory(uid); !dir.isEmpty())
        name_ = InstanceSocketName(dir, uid, executablePath);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim()
{
    if (name_.isEmpty())
        return true;  // no folder of the user's own to meet in: this start runs unguarded
    // Without taking turns two starts at once could both find no listener, and the later one would
    // remove the earlier one's socket.
    QLockFile lock(name_ + ".lock");
    const bool locked = lock.tryLock(kLockMs);

    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(name_);
    if (socket->waitForConnected(kConnectMs)) {
        if (PeerIsUser(int(socket->socketDescriptor()), uid_)) {
            toFirst_ = std::move(socket);
            return false;
        }
        // Someone else listens under this user's name: not a running copy, and not to be told anything.
        socket->abort();
        return true;
    }
    // No listener: nothing is there, or a socket file of a start that ended without removing it.
    if (locked || socket->error() == QLocalSocket::ConnectionRefusedError)
        QLocalServer::removeServer(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        server_.reset();
        return true;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::Accept);
    return true;
}

void SingleInstance::NotifyFirst()
{
    if (!toFirst_)
        return;
    toFirst_->write(InstanceMessage(path_));
    toFirst_->waitForBytesWritten(kConnectMs);
    Leave();
}

void SingleInstance::Leave()
{
    if (!toFirst_)
        return;
    toFirst_->disconnectFromServer();
    if (toFirst_->state() != QLocalSocket::UnconnectedState)
        toFirst_->waitForDisconnected(kConnectMs);
    toFirst_.reset();
}

void SingleInstance::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!PeerIsUser(int(socket->socketDescriptor()), uid_)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kMessageMs, socket, [socket] { socket->abort(); });
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, pending] {
            pending->append(socket->readAll());
            const qsizetype end = pending->indexOf('\n');
            if (end < 0) {
                if (pending->size() > kMessageLimit)
                    socket->abort();
                return;
            }
            const bool ours = pending->left(end + 1) == InstanceMessage(path_);
            socket->disconnectFromServer();
            if (ours)
                emit AnotherInstance();
        });
    }
}

}  // namespace travaso
