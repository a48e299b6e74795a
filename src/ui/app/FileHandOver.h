#pragma once

#include "model/ProgramFolder.h"

#include <QLocalServer>
#include <QObject>

// Hands a card file from a second start of the designer to the copy already
// running on the same program folder, through a local socket named after that
// folder. The running copy listens; a later start sends the file's path and
// waits until the running copy has taken it.
class FileHandOver : public QObject
{
    Q_OBJECT
public:
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

    QString m_name;
    QLocalServer m_server;
};
