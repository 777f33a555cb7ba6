// SPDX-License-Identifier: GPL-3.0-or-later
// Any INI file, then one write of a section, key and value. The input is split into four
// parts (section, key and value end at a '\' followed by another character; "\\" stands for
// one '\'; the file is the rest) and its last byte says whether the file is taken as it is or
// turned into UTF-16 (LE or BE, with a byte order mark). A write that succeeds reads back and
// keeps every other line; a refused write leaves the file byte for byte and is refused for a
// reason.
#include "FuzzCheck.h"

#include "files/FileStore.h"
#include "files/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>

using namespace veldo;
using veldo::fuzz::check;

namespace {

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16Marks[] = {"\xFF\xFE", "\xFE\xFF"};

// One file for the whole run, in memory-backed /dev/shm where there is one.
QString iniPath()
{
    static const QTemporaryDir dir(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/veldo-fuzz-XXXXXX"));
    check(dir.isValid(), "the temporary folder exists");
    return dir.filePath(QStringLiteral("fuzz.ini"));
}

QByteArray readBytes(const QString &path)
{
    QByteArray bytes;
    check(readFileBytes(path, bytes).ok(), "the file reads");
    return bytes;
}

bool holdsLineBreakOrNul(const QByteArray &text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

// Blanks as the Windows profile routines see them: the ASCII ones and Ctrl+Z.
QByteArray withoutBlanks(QByteArray text)
{
    return text.replace('\x1A', ' ').trimmed();
}

// What the writer documents as unstorable: the only reasons to refuse.
bool mayRefuse(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray name = withoutBlanks(section);
    const QByteArray keyName = withoutBlanks(key);
    return holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value)
        || name.isEmpty() || name.contains(']') || keyName.isEmpty() || keyName.contains('=')
        || keyName.startsWith('[') || keyName.startsWith(';') || keyName.startsWith('#');
}

// Bytes as UTF-16 code units after a byte order mark: ASCII as it is, other bytes as other
// characters, unpaired surrogates among them.
QByteArray asUtf16(QByteArrayView bytes, bool bigEndian)
{
    QByteArray text = kUtf16Marks[bigEndian].toByteArray();
    for (const char byte : bytes) {
        const auto b = quint16(quint8(byte));
        const quint16 unit = b < 0x80 ? b : b < 0xF0 ? quint16(0x100 + b)
                                                     : quint16(0xD800 + ((b & 0x0F) << 8));
        char pair[2];
        bigEndian ? qToBigEndian(unit, pair) : qToLittleEndian(unit, pair);
        text.append(pair, 2);
    }
    return text;
}

// UTF-16 code units as bytes that keep ASCII as it is and make every other unit three
// bytes above ASCII, so that lines, blanks and '=' compare as in a byte text.
QByteArray unitBytes(QStringView units)
{
    QByteArray bytes;
    for (const QChar unit : units) {
        const char16_t u = unit.unicode();
        if (u < 0x80) {
            bytes += char(u);
            continue;
        }
        bytes += char(0x80 | (u >> 14));
        bytes += char(0x80 | ((u >> 7) & 0x7F));
        bytes += char(0x80 | (u & 0x7F));
    }
    return bytes;
}

// A file's text without its byte order mark, its UTF-16 code units as unitBytes, and the
// odd last byte of a UTF-16 file apart.
struct Comparable {
    QByteArray mark;
    QByteArray text;
    QByteArray oddByte;
};

Comparable comparable(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return {kUtf8Mark.toByteArray(), bytes.sliced(kUtf8Mark.size()).toByteArray(), {}};
    const bool littleEndian = bytes.startsWith(kUtf16Marks[0]);
    if (!littleEndian && !bytes.startsWith(kUtf16Marks[1]))
        return {{}, bytes.toByteArray(), {}};
    Comparable result{bytes.first(2).toByteArray(), {}, {}};
    bytes = bytes.sliced(2);
    if (bytes.size() % 2 != 0) {
        result.oddByte = bytes.last(1).toByteArray();
        bytes.chop(1);
    }
    QString units;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        units += QChar(littleEndian ? qFromLittleEndian<quint16>(bytes.data() + i) : qFromBigEndian<quint16>(bytes.data() + i));
    result.text = unitBytes(units);
    return result;
}

// The lines of a text, each with its line break: LF, CR LF or a lone CR.
QByteArrayList linesOf(QByteArrayView text)
{
    QByteArrayList lines;
    while (!text.isEmpty()) {
        qsizetype end = 0;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (end < text.size())
            end += text.sliced(end).startsWith("\r\n") ? 2 : 1;
        lines.append(text.first(end).toByteArray());
        text = text.sliced(end);
    }
    return lines;
}

QByteArray lineBreakOf(const QByteArray &line)
{
    return line.endsWith("\r\n") ? "\r\n" : line.endsWith('\n') ? "\n"
                                      : line.endsWith('\r')     ? "\r"
                                                                : "";
}

QByteArray withoutLineBreak(const QByteArray &line)
{
    return line.first(line.size() - lineBreakOf(line).size());
}

// A write changes one entry in place (the same text up to its '=', or a key line without '='
// that gains one; the same line break), or adds an entry, or a header and an entry, after a
// last line that may gain a line break.
void checkOtherLinesKept(QByteArrayView beforeBytes, QByteArrayView afterBytes, const QString &key)
{
    const Comparable before = comparable(beforeBytes);
    const Comparable after = comparable(afterBytes);
    check(before.mark == after.mark && before.oddByte == after.oddByte, "the encoding is kept");
    const QByteArray keyBytes = before.mark.size() == 2 ? unitBytes(key) : key.toUtf8();
    const QByteArrayList old = linesOf(before.text);
    const QByteArrayList now = linesOf(after.text);
    qsizetype head = 0;
    while (head < old.size() && head < now.size() && old[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (head + tail < old.size() && head + tail < now.size()
           && old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const QByteArrayList removed = old.mid(head, old.size() - head - tail);
    const QByteArrayList added = now.mid(head, now.size() - head - tail);
    if (removed.isEmpty() && added.isEmpty())
        return; // the same value again
    if (removed.size() == 1 && added.size() == 1) {
        const QByteArray &was = removed[0];
        const QByteArray &is = added[0];
        const bool bare = !was.contains('=');
        const QByteArray key = bare ? withoutLineBreak(was) : was.left(was.indexOf('='));
        const qsizetype equals = is.indexOf('=');
        check(equals >= 0 && key.startsWith(is.first(equals))
                  && (bare ? withoutBlanks(key.sliced(equals)).isEmpty() : key.size() == equals),
              "a value written in place keeps its key");
        check(lineBreakOf(was) == lineBreakOf(is), "a value written in place keeps its line break");
        return;
    }
    check(removed.size() <= 1 && !added.isEmpty() && added.size() <= removed.size() + 2,
          "a write adds an entry, or a header and an entry, and changes nothing else");
    if (removed.size() == 1) {
        check(head == old.size() - 1 && lineBreakOf(removed[0]).isEmpty(),
              "only a last line without a line break changes");
        check(withoutLineBreak(added[0]) == removed[0] && !lineBreakOf(added[0]).isEmpty(),
              "the last line only gains a line break");
    }
    check(withoutBlanks(added.last()).startsWith(withoutBlanks(keyBytes) + '='), "the added line is the entry");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString section = QString::fromStdString(provider.ConsumeRandomLengthString());
    const QString key = QString::fromStdString(provider.ConsumeRandomLengthString());
    const QString value = QString::fromStdString(provider.ConsumeRandomLengthString());
    const int encoding = provider.ConsumeIntegralInRange(0, 2); // as it is, UTF-16 LE, UTF-16 BE
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray raw(rest.data(), qsizetype(rest.size()));
    const QByteArray before = encoding == 0 ? raw : asUtf16(raw, encoding == 2);

    static const QString path = iniPath();
    check(replaceFileBytes(path, before).ok(), "the file is written");
    if (!WriteIniString(section, key, value, path)) {
        check(mayRefuse(section.toUtf8(), key.toUtf8(), value.toUtf8()), "a write is refused for a reason");
        check(readBytes(path) == before, "a refused write leaves the file byte for byte");
        return 0;
    }
    check(ReadIniString(section, key, path) == value.left(kIniReadLimit), "the written value reads back");
    checkOtherLinesKept(before, readBytes(path), key);
    return 0;
}
