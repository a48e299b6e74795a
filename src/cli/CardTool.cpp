#include "CardTool.h"

#include "card/CardFile.h"
#include "card/IniFile.h"

#include <QFile>
#include <QFileInfo>

namespace CardTool {

namespace {

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString jsonValue(const CardFile::FieldRef &field)
{
    if (const auto text = std::get_if<QString *>(&field)) return jsonString(**text);
    // Numbers, colours, kinds and booleans are written in the file as valid JSON.
    const QString v = CardFile::formatField(field);
    if (std::holds_alternative<bool *>(field)) return v.toLower();
    return v;
}

} // namespace

QString cardJson(const IniFile &ini)
{
    CardDocument doc = CardFile::read(ini);
    QString out = QStringLiteral("{");
    QString section;
    for (const CardFile::Key &key : CardFile::keys()) {
        if (key.section != section) {
            out += section.isEmpty() ? QStringLiteral("\n") : QStringLiteral("\n  },\n");
            out += QStringLiteral("  %1: {\n").arg(jsonString(key.section));
            section = key.section;
        } else {
            out += QStringLiteral(",\n");
        }
        out += QStringLiteral("    %1: %2").arg(jsonString(key.name), jsonValue(key.field(doc)));
    }
    return out + QStringLiteral("\n  }\n}\n");
}

int dump(const QString &path, QTextStream &out, QTextStream &err)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("is a folder") : file.errorString();
        err << "penlark-card: cannot read " << path << ": " << reason << Qt::endl;
        return 1;
    }
    out << cardJson(IniFile::fromBytes(file.readAll()));
    out.flush();
    return 0;
}

int writeNew(const QString &path, QTextStream &err)
{
    const CardDocument doc = CardDocument::defaultCard();
    QString error;
    if (QFileInfo(path).isDir()
        || !IniStore::update(path, [&doc](IniFile &ini) { CardFile::write(doc, ini); }, &error)) {
        if (QFileInfo(path).isDir()) error = QStringLiteral("is a folder");
        err << "penlark-card: cannot write " << path << ": " << error << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace CardTool
