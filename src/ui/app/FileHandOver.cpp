#include "ui/app/FileHandOver.h"

#include <QCryptographicHash>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

constexpr int kWaitMs = 5000;
constexpr qint64 kLongestLine = 64 * 1024;
const QByteArray kTaken = QByteArrayLiteral("ok\n");

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
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kWaitMs)) return false;
    while (socket.bytesAvailable() < kTaken.size())
        if (!socket.waitForReadyRead(kWaitMs)) return false;
    return socket.readAll() == kTaken;
}

void FileHandOver::takeConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestLine) socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(kTaken);
            socket->flush();
            socket->disconnectFromServer();
            emit fileReceived(path);
        });
    }
}
