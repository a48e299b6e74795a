#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A CUPS scheduler of its own for a test: its configuration, spool and logs in
// a temporary folder, listening on 127.0.0.1 on a free port, with one queue,
// made the default, whose backend writes each job to a file unchanged, a
// second queue whose backend fails every job, and a third that prints on both
// sides (its driver offers two-sided printing) and keeps its jobs as the first
// does. The process that uses it calls useOnly() before it first prints.
class LocalCupsServer
{
public:
    static constexpr const char *kQueue = "penlark";
    static constexpr const char *kFailingQueue = "penlark-fails";
    static constexpr const char *kFailure = "out of paper";
    static constexpr const char *kTwoSidedQueue = "penlark-duplex";

    LocalCupsServer() : m_port(freePort()) {}
    ~LocalCupsServer() { stop(); }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // Points this process's CUPS client at the scheduler alone: no printer or
    // lpoptions of the user's (a home of its own) or of the system (a
    // configuration folder of its own) can choose another queue.
    void useOnly() const
    {
        qputenv("CUPS_SERVER", address().toLatin1());
        qputenv("HOME", QFile::encodeName(path("home")));
        qputenv("CUPS_SERVERROOT", QFile::encodeName(path("client")));
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
    }
    // The last job the queue received, as the printer would have been sent it.
    QString jobFile() const { return m_dir.filePath(QStringLiteral("job.out")); }
    // A job of the default queue by its number, and the last job of the two-sided queue.
    QString jobFile(int job) const { return jobFile() + u'.' + QString::number(job); }
    QString twoSidedJobFile() const { return m_dir.filePath(QStringLiteral("duplex.out")); }
    // Why the scheduler could not be started; empty once it runs.
    QString failure() const { return m_failure; }

    bool start()
    {
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin", "/sbin"});
        if (cupsd.isEmpty()) return fail(QStringLiteral("cupsd is not installed (Debian package cups-daemon)"));
        if (!m_dir.isValid() || m_port == 0) return fail(QStringLiteral("no temporary folder or free port"));
        if (!writeConfiguration()) return fail(QStringLiteral("cannot write the scheduler's configuration"));
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), path("cupsd.conf"), QStringLiteral("-s"),
                                path("cups-files.conf")});
        if (!m_process.waitForStarted(5000)) return fail(QStringLiteral("cupsd did not start"));
        for (int i = 0; i < 200; ++i) {
            if (accepts()) return true;
            if (m_process.state() == QProcess::NotRunning) break;
            QThread::msleep(50);
        }
        const QString output = QString::fromLocal8Bit(m_process.readAll());
        stop();
        return fail(QStringLiteral("cupsd did not listen on %1: %2 %3").arg(address(), output, errorLog()));
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(5000);
    }

    QString errorLog() const
    {
        QFile log(path("log/error_log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll()) : QString();
    }

private:
    QString path(const char *relative) const { return m_dir.filePath(QString::fromLatin1(relative)); }

    bool fail(const QString &why)
    {
        m_failure = why;
        return false;
    }

    static quint16 freePort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        quint16 port = 0;
        if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        ::close(s);
        return port;
    }

    bool accepts() const
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(m_port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(s);
        return ok;
    }

    bool write(const char *relative, const QString &text, QFile::Permissions permissions) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size() &&
               file.setPermissions(permissions);
    }

    bool writeConfiguration()
    {
        const QDir root(m_dir.path());
        for (const char *dir : {"spool", "tmp", "cache", "state", "log", "bin/backend", "home", "client", "ppd"})
            if (!root.mkpath(QString::fromLatin1(dir))) return false;
        // The scheduler's helper programs are the system's; the backend is ours.
        for (const char *dir : {"filter", "daemon", "cgi-bin", "notifier", "monitor"})
            QFile::link(QStringLiteral("/usr/lib/cups/") + QString::fromLatin1(dir),
                        path("bin/") + QString::fromLatin1(dir));
        const QFile::Permissions readable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        const QString cupsd = QStringLiteral("Listen %1\n"
                                             "LogLevel info\n"
                                             "DefaultAuthType None\n"
                                             "Browsing Off\n"
                                             "WebInterface No\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n"
                                             "  </Limit>\n</Policy>\n")
                                  .arg(address());
        const QString files = QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
                                             "StateDir %1/state\nErrorLog %1/log/error_log\n"
                                             "AccessLog %1/log/access_log\nPageLog %1/log/page_log\n"
                                             "ServerBin %1/bin\nDataDir /usr/share/cups\n")
                                  .arg(m_dir.path());
        // A queue without a driver: the job reaches the backend as the program sent it.
        const QString printers = QStringLiteral("<DefaultPrinter %1>\nDeviceURI penlarkfile:%2\nState Idle\n"
                                                "Accepting Yes\nShared No\n</DefaultPrinter>\n"
                                                "<Printer %3>\nDeviceURI penlarkfail:/\nState Idle\n"
                                                "Accepting Yes\nShared No\nErrorPolicy abort-job\n</Printer>\n"
                                                "<Printer %4>\nDeviceURI penlarkfile:%5\nState Idle\n"
                                                "Accepting Yes\nShared No\n</Printer>\n")
                                     .arg(QString::fromLatin1(kQueue), jobFile(), QString::fromLatin1(kFailingQueue),
                                          QString::fromLatin1(kTwoSidedQueue), twoSidedJobFile());
        // The two-sided queue's driver: A4 with unequal margins, two-sided
        // printing, and PDF taken as it comes.
        const QString ppd = QStringLiteral(
            "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
            "*PCFileName: \"PENLARK.PPD\"\n*Manufacturer: \"Penlark\"\n*Product: \"(Penlark)\"\n*ModelName: \"Penlark\"\n*ShortNickName: \"Penlark\"\n"
            "*NickName: \"Penlark two-sided\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
            "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 -\"\n*OpenUI *PageSize: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n"
            "*DefaultPageSize: A4\n*PageSize A4/A4: \"\"\n*CloseUI: *PageSize\n*OpenUI *PageRegion: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n"
            "*DefaultPageRegion: A4\n*PageRegion A4/A4: \"\"\n*CloseUI: *PageRegion\n*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"12 18 565 830\"\n"
            "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n*OpenUI *Duplex: PickOne\n*OrderDependency: 20 AnySetup *Duplex\n"
            "*DefaultDuplex: None\n*Duplex None/Off: \"\"\n*Duplex DuplexNoTumble/Long Edge: \"\"\n*CloseUI: *Duplex\n");
        // Run by the scheduler with the job file as its sixth argument (or the job on
        // standard input); the file appears whole, under its name, when complete.
        const QString backend = QStringLiteral(
            "#!/bin/sh\n"
            "if [ $# -eq 0 ]; then echo 'file penlarkfile \"Unknown\" \"Penlark test queue\"'; exit 0; fi\n"
            "out=\"${DEVICE_URI#*:}\"\n"
            "if [ -n \"$6\" ]; then cat \"$6\"; else cat; fi > \"$out.part\" && ln -f \"$out.part\" \"$out.$1\" &&\n"
            "mv \"$out.part\" \"$out\"\n");
        const QString failing = QStringLiteral(
            "#!/bin/sh\n"
            "if [ $# -eq 0 ]; then echo 'direct penlarkfail \"Unknown\" \"Penlark failing queue\"'; exit 0; fi\n"
            "cat > /dev/null; echo 'ERROR: %1' >&2; exit 1\n").arg(QString::fromLatin1(kFailure));
        const QFile::Permissions program = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        return write("cupsd.conf", cupsd, readable) && write("cups-files.conf", files, readable) &&
               write("printers.conf", printers, QFile::ReadOwner | QFile::WriteOwner) &&
               write("ppd/penlark-duplex.ppd", ppd, readable) &&
               write("bin/backend/penlarkfile", backend, program) && write("bin/backend/penlarkfail", failing, program);
    }

    QTemporaryDir m_dir;
    quint16 m_port;
    QProcess m_process;
    QString m_failure;
};
