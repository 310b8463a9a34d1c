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
// The message a second start sends to the first.
QByteArray InstanceMessage(const QByteArray& executablePath);

// One running copy per executable path and user. The first start listens on a local socket; a later
// start finds it, tells it, and leaves. A socket left behind by a start that crashed is taken over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket lies in $XDG_RUNTIME_DIR (private to the user) or else in the temporary directory.
    explicit SingleInstance(const QByteArray& executablePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True for the first start (now listening, or unable to listen: it then runs unguarded); false when
    // another start of the same executable is running, and this one stays connected to it.
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
    QString name_;
    std::unique_ptr<QLocalServer> server_;
    std::unique_ptr<QLocalSocket> toFirst_;
};

}  // namespace travaso
