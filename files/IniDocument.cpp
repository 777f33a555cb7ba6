#include "files/IniDocument.h"

#include "files/Utf16Text.h"

#include <QStringDecoder>

#include <algorithm>

namespace veldo {

namespace {

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16LeMark = "\xFF\xFE";
constexpr QByteArrayView kUtf16BeMark = "\xFE\xFF";

// Key and value of an entry line, each without the blanks around it.
struct Entry {
    QByteArrayView key;
    QByteArrayView value;
};

bool isCommentStart(char c)
{
    return c == ';' || c == '#';
}

// The name of a section header line "[name]"; whatever follows the ']' is ignored.
std::optional<QByteArrayView> headerName(QByteArrayView line)
{
    const QByteArrayView content = line.trimmed();
    const qsizetype close = content.indexOf(']');
    if (!content.startsWith('[') || close < 0)
        return std::nullopt;
    return content.sliced(1, close - 1).trimmed();
}

std::optional<Entry> entryOf(QByteArrayView line)
{
    const QByteArrayView content = line.trimmed();
    if (content.isEmpty() || isCommentStart(content.front()) || content.front() == '[')
        return std::nullopt;
    const qsizetype equals = content.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return Entry{content.first(equals).trimmed(), content.sliced(equals + 1).trimmed()};
}

// QString::fromUtf8 drops a leading U+FEFF, which would lose it from a value and make "\uFEFFS"
// the same name as "S"; only the file's own byte order mark is no text.
QString textOf(QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(utf8);
}

QString foldedName(QByteArrayView name)
{
    return textOf(name.trimmed()).toCaseFolded();
}

// A hash of the folded name, computed without a string of its own where the name is ASCII,
// as nearly every name is.
quint32 nameHash(QByteArrayView name)
{
    name = name.trimmed();
    quint32 hash = 2166136261u;
    const auto mix = [&hash](char16_t unit) { hash = (hash ^ unit) * 16777619u; };
    if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
        for (const char c : name)
            mix(char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
    } else {
        for (const QChar c : foldedName(name))
            mix(c.unicode());
    }
    return hash & 0x7FFFFFFFu;
}

bool holdsLineBreakOrNul(QByteArrayView text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

bool isStorable(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value))
        return false;
    section = section.trimmed();
    key = key.trimmed();
    return !section.isEmpty() && !section.contains(']') && !key.isEmpty() && !key.contains('=')
        && key.front() != '[' && !isCommentStart(key.front());
}

bool isQuoted(QByteArrayView value)
{
    return value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
}

// Reading drops the blanks around a value and one pair of enclosing quotes, so a value
// that has either is written in quotes to come back unchanged.
QByteArray storedForm(const QByteArray &value)
{
    if (isQuoted(value) || value.trimmed().size() != value.size())
        return '"' + value + '"';
    return value;
}

QByteArrayView unquoted(QByteArrayView value)
{
    return isQuoted(value) ? value.sliced(1, value.size() - 2) : value;
}

} // namespace

IniDocument::IniDocument(const QByteArray &bytes)
{
    QByteArrayView rest(bytes);
    if (rest.startsWith(kUtf8Mark))
        byteOrderMark_ = kUtf8Mark.toByteArray();
    else if (rest.startsWith(kUtf16LeMark) || rest.startsWith(kUtf16BeMark))
        byteOrderMark_ = rest.first(2).toByteArray();
    encoding_ = byteOrderMark_ == kUtf16LeMark ? Encoding::Utf16Le
        : byteOrderMark_ == kUtf16BeMark       ? Encoding::Utf16Be
                                               : Encoding::Utf8;
    rest = rest.sliced(byteOrderMark_.size());
    if (encoding_ == Encoding::Utf8) {
        text_ = byteOrderMark_.isEmpty() ? bytes : rest.toByteArray();
    } else {
        if (rest.size() % 2 != 0) {
            oddByte_ = rest.last(1).toByteArray();
            rest.chop(1);
        }
        text_ = toWtf8(utf16Units(rest, encoding_ == Encoding::Utf16Be));
    }
    crOnly_ = !text_.contains('\n') && text_.contains('\r');
    bool brokenYet = false;
    for (qsizetype start = 0; start < text_.size();) {
        const Line line = lineAt(start);
        if (!brokenYet && line.ending != LineEnding::None) {
            newline_ = line.ending;
            brokenYet = true;
        }
        const QByteArrayView text = QByteArrayView(text_).sliced(line.start, line.length);
        // Entries before the first header belong to no section and are never looked up.
        if (const std::optional<QByteArrayView> name = headerName(text))
            marks_.push_back({quint32(start), nameHash(*name), 1});
        else if (const std::optional<Entry> entry = entryOf(text); entry && !marks_.empty())
            marks_.push_back({quint32(start), nameHash(entry->key), 0});
        start = line.next;
    }
}

IniDocument::Line IniDocument::lineAt(qsizetype start) const
{
    const qsizetype end = text_.indexOf(crOnly_ ? '\r' : '\n', start);
    if (end < 0)
        return {start, text_.size() - start, LineEnding::None, text_.size()};
    Line line{start, end - start, crOnly_ ? LineEnding::Cr : LineEnding::Lf, end + 1};
    if (!crOnly_ && end > start && text_[end - 1] == '\r') {
        line.ending = LineEnding::CrLf;
        --line.length;
    }
    return line;
}

QByteArrayView IniDocument::lineText(std::size_t mark) const
{
    const Line line = lineAt(marks_[mark].start);
    return QByteArrayView(text_).sliced(line.start, line.length);
}

QByteArray IniDocument::lineBreak() const
{
    static const char *const kBreaks[] = {"", "\n", "\r\n", "\r"};
    return kBreaks[int(newline_)];
}

std::optional<std::size_t> IniDocument::sectionIndex(QByteArrayView name) const
{
    const quint32 hash = nameHash(name);
    std::optional<QString> wanted;
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        if (!marks_[i].header || marks_[i].nameHash != hash)
            continue;
        if (!wanted)
            wanted = foldedName(name);
        if (foldedName(*headerName(lineText(i))) == *wanted)
            return i;
    }
    return std::nullopt;
}

IniDocument::KeySearch IniDocument::findKey(std::size_t header, QByteArrayView key) const
{
    const quint32 hash = nameHash(key);
    const QString wanted = foldedName(key);
    KeySearch search{std::nullopt, header};
    for (std::size_t i = header + 1; i < marks_.size() && !marks_[i].header; ++i) {
        search.lastEntry = i;
        if (marks_[i].nameHash == hash && foldedName(entryOf(lineText(i))->key) == wanted) {
            search.found = i;
            break;
        }
    }
    return search;
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const std::optional<std::size_t> header = sectionIndex(section.toUtf8());
    if (!header)
        return {};
    const KeySearch search = findKey(*header, key.toUtf8());
    if (!search.found)
        return {};
    return textOf(unquoted(entryOf(lineText(*search.found))->value)).left(kIniReadLimit);
}

bool IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray rawSection = section.toUtf8();
    const QByteArray rawKey = key.toUtf8();
    const QByteArray rawValue = value.toUtf8();
    if (!isStorable(rawSection, rawKey, rawValue))
        return false;
    const QByteArray sectionName = rawSection.trimmed();
    const QByteArray keyName = rawKey.trimmed();
    const QByteArray stored = storedForm(rawValue);
    const QByteArray entryLine = keyName + '=' + stored;

    const std::optional<std::size_t> header = sectionIndex(sectionName);
    if (!header) {
        // Only the text's last line can lack a line break; it gets one before the new section.
        if (!text_.isEmpty() && !text_.endsWith(crOnly_ ? '\r' : '\n'))
            text_ += lineBreak();
        const qsizetype start = text_.size();
        text_ += '[' + sectionName + ']' + lineBreak();
        marks_.push_back({quint32(start), nameHash(sectionName), 1});
        marks_.push_back({quint32(text_.size()), nameHash(keyName), 0});
        text_ += entryLine + lineBreak();
        return true;
    }
    const KeySearch search = findKey(*header, keyName);
    if (search.found) {
        const QByteArrayView line = lineText(*search.found);
        const QByteArrayView old = entryOf(line)->value;
        const qsizetype at = old.data() - text_.constData();
        // A CR among the blanks must not end the line: before a line feed it would read as CR LF.
        const QByteArrayView after = line.sliced(old.data() + old.size() - line.data());
        const bool crLast = (after.isEmpty() ? line.first(old.data() - line.data()) : after).endsWith('\r');
        insertText(at, old.size(), stored.isEmpty() && crLast ? QByteArray("\"\"") : stored, *search.found + 1);
        return true;
    }
    const Line last = lineAt(marks_[search.lastEntry].start);
    const QByteArray lead = last.ending == LineEnding::None ? lineBreak() : QByteArray();
    marks_.insert(marks_.begin() + std::ptrdiff_t(search.lastEntry + 1),
                  Mark{quint32(last.next + lead.size()), nameHash(keyName), 0});
    insertText(last.next, 0, lead + entryLine + lineBreak(), search.lastEntry + 2);
    return true;
}

void IniDocument::insertText(qsizetype at, qsizetype replaced, const QByteArray &text, std::size_t firstMoved)
{
    text_.replace(at, replaced, text);
    const qsizetype moved = text.size() - replaced;
    for (std::size_t i = firstMoved; i < marks_.size(); ++i)
        marks_[i].start = quint32(marks_[i].start + moved);
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes = byteOrderMark_;
    if (encoding_ == Encoding::Utf8)
        bytes += text_;
    else
        appendUtf16(bytes, fromWtf8(text_), encoding_ == Encoding::Utf16Be);
    return bytes + oddByte_;
}

} // namespace veldo
