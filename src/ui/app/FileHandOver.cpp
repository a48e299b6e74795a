#include "ui/app/FileHandOver.h"

#include "model/HandOverMessage.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kWaitMs = 5000;
const QByteArray kTaken = QByteArrayLiteral("ok\n");

void drop(QLocalSocket *socket)
{
    socket->abort();
    socket->deleteLater();
}

} // namespace

FileHandOver::FileHandOver(const ProgramFolder &folder, QObject *parent)
    : QObject(parent), m_name(socketName(folder))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &FileHandOver::takeConnection);
}

QString FileHandOver::socketName(const ProgramFolder &folder)
{
    const QByteArray hash = QCryptographicHash::hash(folder.root().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/penlark-") +
           QString::fromLatin1(hash.left(16));
}

bool FileHandOver::listen()
{
    // Whoever holds the program folder's lock owns the name: a socket left
    // behind by a copy that crashed is stale.
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

bool FileHandOver::send(const QString &path) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kWaitMs)) return false;
    socket.write(HandOverMessage::lineFor(path));
    if (!socket.waitForBytesWritten(kWaitMs)) return false;
    while (socket.bytesAvailable() < kTaken.size())
        if (!socket.waitForReadyRead(kWaitMs)) return false;
    return socket.readAll() == kTaken;
}

void FileHandOver::takeConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // Sockets are the server's children in the order they came.
        QList<QLocalSocket *> held = m_server.findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly);
        held.removeIf([](QLocalSocket *s) { return s->state() != QLocalSocket::ConnectedState; });
        if (held.size() > kMostConnections) drop(held.first());
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readLine(socket); });
        QTimer::singleShot(kIdleMs, socket, [socket] { drop(socket); });
    }
}

void FileHandOver::readLine(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > HandOverMessage::kLongestPath) drop(socket);
        return;
    }
    const std::optional<QString> path = HandOverMessage::pathFrom(socket->readLine());
    if (!path) {
        drop(socket);
        return;
    }
    // One message a connection: whatever follows it is not read.
    socket->disconnect(this);
    socket->write(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    emit fileReceived(*path);
}
