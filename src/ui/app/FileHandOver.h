#pragma once

#include "model/ProgramFolder.h"

#include <QLocalServer>
#include <QObject>

class QLocalSocket;

// Hands a card file from a second start of the designer to the copy already
// running on the same program folder, through a local socket named after that
// folder. The running copy listens; a later start sends the file's path as one
// line and waits until the running copy has taken it.
//
// Whatever other programs do with the socket, it stays open for later starts:
// a connection that sends no whole line within kIdleMs is closed, a line that
// is no message (HandOverMessage) is refused, and no more than
// kMostConnections are held at once (the oldest goes first), so connections
// cannot use up the process's file descriptors.
class FileHandOver : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIdleMs = 3000;
    static constexpr int kMostConnections = 32;

    explicit FileHandOver(const ProgramFolder &folder, QObject *parent = nullptr);

    // The socket: in the user's runtime folder, named after the program folder.
    static QString socketName(const ProgramFolder &folder);

    // Starts listening; false when the socket cannot be made.
    bool listen();
    // Sends an absolute path to the running copy; false when none took it in time.
    bool send(const QString &path) const;

signals:
    void fileReceived(const QString &path);

private:
    void takeConnection();
    void readLine(QLocalSocket *socket);

    QString m_name;
    QLocalServer m_server;
};
