// Any INI file, then one write of a section, key and value. The input is split into four
// parts (section, key and value end at a '\' followed by another character; "\\" stands for
// one '\'; the file is the rest). A write that succeeds reads back and keeps every other
// line; a refused write leaves the file byte for byte and is refused for a reason.
#include "FuzzCheck.h"

#include "files/FileStore.h"
#include "files/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>

using namespace veldo;
using veldo::fuzz::check;

namespace {

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

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
    check(readFileBytes(path, bytes).ok, "the file reads");
    return bytes;
}

bool holdsLineBreakOrNul(const QByteArray &text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

// What the writer documents as unstorable: the only reasons to refuse.
bool mayRefuse(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray name = section.trimmed();
    const QByteArray keyName = key.trimmed();
    return holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value)
        || name.isEmpty() || name.contains(']') || keyName.isEmpty() || keyName.contains('=')
        || keyName.startsWith('[') || keyName.startsWith(';') || keyName.startsWith('#');
}

// The lines of a text, each with its line break.
QByteArrayList linesOf(QByteArrayView text)
{
    QByteArrayList lines;
    while (!text.isEmpty()) {
        const qsizetype lineFeed = text.indexOf('\n');
        const qsizetype end = lineFeed < 0 ? text.size() : lineFeed + 1;
        lines.append(text.first(end).toByteArray());
        text = text.sliced(end);
    }
    return lines;
}

bool endsInLineBreak(const QByteArray &line)
{
    return line.endsWith('\n');
}

// A write changes one entry in place (the same text up to its '=', the same line break), or
// adds an entry, or a header and an entry, after a last line that may gain a line break.
void checkOtherLinesKept(QByteArrayView before, QByteArrayView after, const QByteArray &key)
{
    check(before.startsWith(kByteOrderMark) == after.startsWith(kByteOrderMark),
          "a byte order mark is kept");
    if (before.startsWith(kByteOrderMark)) {
        before = before.sliced(kByteOrderMark.size());
        after = after.sliced(kByteOrderMark.size());
    }
    const QByteArrayList old = linesOf(before);
    const QByteArrayList now = linesOf(after);
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
        check(was.contains('=') && was.left(was.indexOf('=')) == is.left(is.indexOf('=')),
              "a value written in place keeps its key");
        check(was.endsWith("\r\n") == is.endsWith("\r\n") && endsInLineBreak(was) == endsInLineBreak(is),
              "a value written in place keeps its line break");
        return;
    }
    check(removed.size() <= 1 && !added.isEmpty() && added.size() <= removed.size() + 2,
          "a write adds an entry, or a header and an entry, and changes nothing else");
    if (removed.size() == 1) {
        check(head == old.size() - 1 && !endsInLineBreak(removed[0]),
              "only a last line without a line break changes");
        check(added[0] == removed[0] + '\n' || added[0] == removed[0] + "\r\n",
              "the last line only gains a line break");
    }
    check(added.last().trimmed().startsWith(key.trimmed() + '='), "the added line is the entry");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const QString section = QString::fromStdString(provider.ConsumeRandomLengthString());
    const QString key = QString::fromStdString(provider.ConsumeRandomLengthString());
    const QString value = QString::fromStdString(provider.ConsumeRandomLengthString());
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QByteArray before(rest.data(), qsizetype(rest.size()));

    static const QString path = iniPath();
    check(replaceFileBytes(path, before).ok, "the file is written");
    if (!WriteIniString(section, key, value, path)) {
        check(mayRefuse(section.toUtf8(), key.toUtf8(), value.toUtf8()), "a write is refused for a reason");
        check(readBytes(path) == before, "a refused write leaves the file byte for byte");
        return 0;
    }
    check(ReadIniString(section, key, path) == value.left(kIniReadLimit), "the written value reads back");
    checkOtherLinesKept(before, readBytes(path), key.toUtf8());
    return 0;
}
