#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace travaso {

// Name of the local socket that the starts of one executable by one user meet at: in dir, after the
// user id and the executable's path with every "/" made "+". A name too long for a socket address, or a
// path the locale cannot spell, is replaced by a hash of the path.
QString InstanceSocketName(const QString& dir, unsigned uid, const QByteArray& executablePath);
// The folder "travaso-" + uid under base, made private to that user: created 0700, or an existing real
// folder of the user's made 0700. Empty when the name is taken by anything else (another user's folder, a link).
QString PrivateDirectory(const QString& base, unsigned uid);
// Whether the process at the other end of a connected local socket runs as uid.
bool PeerIsUser(int socketFd, unsigned uid);
// The message a second start sends to the first.
QByteArray InstanceMessage(const QByteArray& executablePath);

// One running copy per executable path and user. The first start listens on a local socket; a later
// start finds it, tells it, and leaves. A socket left behind by a start that crashed is taken over. Only a
// listener of the same user counts: a name taken by another user never stops a start.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket lies in $XDG_RUNTIME_DIR (private to the user) or else in a folder of the user's own in
    // the temporary directory (PrivateDirectory).
    explicit SingleInstance(const QByteArray& executablePath, QObject* parent = nullptr);
    // As the user uid (tests play another user with it).
    SingleInstance(const QByteArray& executablePath, unsigned uid, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first start (now listening, or unable to listen: it then runs unguarded); false when
    // another start of the same executable by the same user is running, and this one stays connected to it.
    bool Claim();
    // A second start: sends the message that brings the first to the front, then disconnects.
    void NotifyFirst();
    // A second start: disconnects without a message.
    void Leave();

    QString SocketName() const { return name_; }

signals:
    // The first start received the message of a second one.
    void AnotherInstance();

private:
    void Accept();

    QByteArray path_;
    unsigned uid_;
    QString name_;  // empty when there is no safe folder to meet in
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QLocalSocket> toFirst_;
};

}  // namespace travaso
