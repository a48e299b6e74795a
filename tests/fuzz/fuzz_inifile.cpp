// The INI store: parsing any bytes, lookups, an in-place update, and reading the
// update back. The input is a section, a key, another key and a value, each
// ended by a backslash and one more byte, then the file.
#include "FuzzSupport.h"
#include "model/IniFile.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using FuzzSupport::check;

QString takeText(FuzzedDataProvider &input)
{
    return QString::fromStdString(input.ConsumeRandomLengthString(40));
}

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(QString s)
{
    while (!s.isEmpty() && isBlank(s.front())) s.remove(0, 1);
    while (!s.isEmpty() && isBlank(s.back())) s.chop(1);
    return s;
}

// Names the program writes are one line, with no white space but blanks, and
// no byte-order mark (the reader drops one at the start of a line, as at the
// start of a file).
bool isOneLineName(const QString &name)
{
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return (c.isSpace() && !isBlank(c)) || c == QChar(0xFEFF); });
}

bool isWritableSection(const QString &name)
{
    return isOneLineName(name) && !name.contains(u']');
}

// A key line must not look like a section, a comment or a value.
bool isWritableKey(const QString &name)
{
    const QString t = trimBlanks(name);
    return isOneLineName(name) && !name.contains(u'=') && !t.startsWith(u'[') && !t.startsWith(u';') &&
           !t.startsWith(u'#');
}

QString storedValue(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return trimBlanks(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = takeText(input);
    const QString key = takeText(input);
    const QString otherKey = takeText(input);
    const QString value = takeText(input);
    const QByteArray bytes = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    IniFile ini = IniFile::fromBytes(bytes);
    check(ini.toBytes() == bytes, "an image read and written unchanged keeps every byte");

    const auto otherBefore = ini.value(section, otherKey);
    ini.value(value, key); // lookups take any names
    if (!isWritableSection(section) || !isWritableKey(key)) return 0;

    ini.setValue(section, key, value);
    check(ini.value(section, key) == storedValue(value), "a value reads back after setValue");
    const IniFile reread = IniFile::fromBytes(ini.toBytes());
    check(reread.value(section, key) == storedValue(value), "a value reads back from the written file");
    if (trimBlanks(otherKey).compare(trimBlanks(key), Qt::CaseInsensitive) != 0)
        check(reread.value(section, otherKey) == otherBefore, "an update leaves other keys alone");
    return 0;
}
