#include "pdf/PdfFinishing.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace PdfFinishing {

namespace {

// The module, loaded on first use (once, whichever thread comes first) and
// kept for the program's life.
class Module
{
public:
    Module()
        : m_library(QDir(QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(PENLARK_MODULE_PATH_FROM_BIN))
                        .filePath(QString::fromLatin1(kModule)))
    {
        m_function = reinterpret_cast<FinishFunction *>(m_library.resolve(kFinishFunction));
        if (!m_function) m_error = QStringLiteral("cannot load the PDF finishing module: %1").arg(m_library.errorString());
    }

    FinishFunction *function() const { return m_function; }
    const QString &error() const { return m_error; }

private:
    QLibrary m_library;
    FinishFunction *m_function = nullptr;
    QString m_error;
};

} // namespace

bool finish(const QStringList &parts, const QString &title, Colours colours, const RecordSource &records,
            QIODevice &target, QString &reason)
{
    static const Module module;
    if (!module.function()) {
        reason = module.error();
        return false;
    }
    return module.function()(parts, title, colours, records, target, reason);
}

} // namespace PdfFinishing
