// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/IniDocument.h"

#include "files/Utf16Text.h"

#include <QStringDecoder>

#include <algorithm>

namespace veldo {

namespace {

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16LeMark = "\xFF\xFE";
constexpr QByteArrayView kUtf16BeMark = "\xFE\xFF";

// Key and value of a key line; a line without '=' has no value.
struct Entry {
    QByteArrayView key;
    std::optional<QByteArrayView> value;
};

// The blanks of the Windows profile routines: Ctrl+Z among them, as old editors end a file with it.
bool isBlank(char c)
{
    return (c >= '\t' && c <= '\r') || c == ' ' || c == '\x1A';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Windows holds names and values as C strings, which end at the first NUL.
QByteArrayView beforeNul(QByteArrayView text)
{
    const qsizetype nul = text.indexOf('\0');
    return nul < 0 ? text : text.first(nul);
}

bool isCommentStart(char c)
{
    return c == ';' || c == '#';
}

// The name of a section header line "[name]"; it runs to the line's last ']'.
std::optional<QByteArrayView> headerName(QByteArrayView line)
{
    const QByteArrayView content = trimmed(line);
    const qsizetype close = content.lastIndexOf(']');
    if (!content.startsWith('[') || close < 0)
        return std::nullopt;
    return beforeNul(trimmed(content.sliced(1, close - 1)));
}

std::optional<Entry> entryOf(QByteArrayView line)
{
    const QByteArrayView content = trimmed(line);
    if (content.isEmpty() || isCommentStart(content.front()) || headerName(content))
        return std::nullopt;
    const qsizetype equals = content.indexOf('=');
    if (equals < 0)
        return Entry{beforeNul(content), std::nullopt};
    return Entry{beforeNul(trimmed(content.first(equals))), trimmed(content.sliced(equals + 1))};
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
    return textOf(name).toCaseFolded();
}

// A hash of the folded name, computed without a string of its own where the name is ASCII,
// as nearly every name is.
quint32 nameHash(QByteArrayView name)
{
    quint32 hash = 2166136261u;
    const auto mix = [&hash](char16_t unit) { hash = (hash ^ unit) * 16777619u; };
    if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
        for (const char c : name)
            mix(char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c));
    } else {
        for (const QChar c : foldedName(name))
            mix(c.unicode());
    }
    return hash & 0x3FFFFFFFu;
}

bool holdsLineBreakOrNul(QByteArrayView text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

bool isStorable(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    if (holdsLineBreakOrNul(section) || holdsLineBreakOrNul(key) || holdsLineBreakOrNul(value))
        return false;
    section = trimmed(section);
    key = trimmed(key);
    return !section.isEmpty() && !section.contains(']') && !key.isEmpty() && !key.contains('=')
        && key.front() != '[' && !isCommentStart(key.front());
}

bool isQuoted(QByteArrayView value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// Reading drops the blanks around a value and one pair of enclosing quotes, so a value
// that has either is written in double quotes to come back unchanged.
QByteArray storedForm(const QByteArray &value)
{
    if (isQuoted(value) || trimmed(value).size() != value.size())
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
        m_byteOrderMark = kUtf8Mark.toByteArray();
    else if (rest.startsWith(kUtf16LeMark) || rest.startsWith(kUtf16BeMark))
        m_byteOrderMark = rest.first(2).toByteArray();
    m_encoding = m_byteOrderMark == kUtf16LeMark ? Encoding::Utf16Le
               : m_byteOrderMark == kUtf16BeMark ? Encoding::Utf16Be
                                                 : Encoding::Utf8;
    rest = rest.sliced(m_byteOrderMark.size());
    if (m_encoding == Encoding::Utf8) {
        m_text = m_byteOrderMark.isEmpty() ? bytes : rest.toByteArray();
    } else {
        if (rest.size() % 2 != 0) {
            m_oddByte = rest.last(1).toByteArray();
            rest.chop(1);
        }
        m_text = toWtf8(utf16Units(rest, m_encoding == Encoding::Utf16Be));
    }
    bool brokenYet = false;
    for (qsizetype start = 0; start < m_text.size();) {
        const Line line = lineAt(start);
        if (!brokenYet && line.ending != LineEnding::None) {
            m_newline = line.ending;
            brokenYet = true;
        }
        const QByteArrayView text = QByteArrayView(m_text).sliced(line.start, line.length);
        // Entries before the first header belong to no section and are never looked up.
        if (const std::optional<QByteArrayView> name = headerName(text))
            m_marks.push_back({quint32(start), nameHash(*name), 1, 0});
        else if (const std::optional<Entry> entry = entryOf(text); entry && !m_marks.empty())
            m_marks.push_back({quint32(start), nameHash(entry->key), 0, !entry->value});
        start = line.next;
    }
}

IniDocument::Line IniDocument::lineAt(qsizetype start) const
{
    const auto begin = m_text.cbegin();
    const qsizetype end = std::find_if(begin + start, m_text.cend(), [](char c) { return c == '\n' || c == '\r'; }) - begin;
    if (end == m_text.size())
        return {start, end - start, LineEnding::None, end};
    if (m_text[end] == '\n')
        return {start, end - start, LineEnding::Lf, end + 1};
    if (end + 1 < m_text.size() && m_text[end + 1] == '\n')
        return {start, end - start, LineEnding::CrLf, end + 2};
    return {start, end - start, LineEnding::Cr, end + 1};
}

QByteArrayView IniDocument::lineText(std::size_t mark) const
{
    const Line line = lineAt(m_marks[mark].start);
    return QByteArrayView(m_text).sliced(line.start, line.length);
}

QByteArray IniDocument::lineBreak(LineEnding ending)
{
    static const char *const kBreaks[] = {"", "\n", "\r\n", "\r"};
    return kBreaks[int(ending)];
}

LineEnding IniDocument::lastLineEnding() const
{
    return m_text.endsWith("\r\n") ? LineEnding::CrLf
         : m_text.endsWith('\n')   ? LineEnding::Lf
         : m_text.endsWith('\r')   ? LineEnding::Cr
                                   : LineEnding::None;
}

// The name is trimmed already: a header's own name as read, a caller's name as Windows trims it.
std::optional<std::size_t> IniDocument::sectionIndex(QByteArrayView name) const
{
    const quint32 hash = nameHash(name);
    std::optional<QString> wanted;
    for (std::size_t i = 0; i < m_marks.size(); ++i) {
        if (!m_marks[i].header || m_marks[i].nameHash != hash)
            continue;
        if (!wanted)
            wanted = foldedName(name);
        if (foldedName(*headerName(lineText(i))) == *wanted)
            return i;
    }
    return std::nullopt;
}

IniDocument::KeySearch IniDocument::findKey(std::size_t header, QByteArrayView key, bool bareCounts) const
{
    const quint32 hash = nameHash(key);
    const QString wanted = foldedName(key);
    KeySearch search{std::nullopt, header};
    for (std::size_t i = header + 1; i < m_marks.size() && !m_marks[i].header; ++i) {
        search.lastEntry = i;
        if ((bareCounts || !m_marks[i].bare) && m_marks[i].nameHash == hash
            && foldedName(entryOf(lineText(i))->key) == wanted) {
            search.found = i;
            break;
        }
    }
    return search;
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const QByteArray rawSection = section.toUtf8();
    const QByteArray rawKey = key.toUtf8();
    const std::optional<std::size_t> header = sectionIndex(trimmed(rawSection));
    if (!header)
        return {};
    const KeySearch search = findKey(*header, trimmed(rawKey), false);
    if (!search.found)
        return {};
    return textOf(unquoted(beforeNul(*entryOf(lineText(*search.found))->value))).left(kIniReadLimit);
}

bool IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QByteArray rawSection = section.toUtf8();
    const QByteArray rawKey = key.toUtf8();
    const QByteArray rawValue = value.toUtf8();
    if (!isStorable(rawSection, rawKey, rawValue))
        return false;
    const QByteArray sectionName = trimmed(rawSection).toByteArray();
    const QByteArray keyName = trimmed(rawKey).toByteArray();
    const QByteArray stored = storedForm(rawValue);
    const QByteArray entryLine = keyName + '=' + stored;

    const std::optional<std::size_t> header = sectionIndex(sectionName);
    if (!header) {
        // Only the text's last line can lack a line break; it gets one before the new section.
        LineEnding ending = lastLineEnding();
        if (ending == LineEnding::None) {
            ending = m_newline;
            if (!m_text.isEmpty())
                m_text += lineBreak(ending);
        }
        const qsizetype start = m_text.size();
        m_text += '[' + sectionName + ']' + lineBreak(ending);
        m_marks.push_back({quint32(start), nameHash(sectionName), 1, 0});
        m_marks.push_back({quint32(m_text.size()), nameHash(keyName), 0, 0});
        m_text += entryLine + lineBreak(ending);
        return true;
    }
    // A key line without '=' counts: Windows would read "" from it, were it left above the value.
    const KeySearch search = findKey(*header, keyName, true);
    if (search.found) {
        const QByteArrayView line = lineText(*search.found);
        if (const std::optional<QByteArrayView> old = entryOf(line)->value) {
            insertText(old->data() - m_text.constData(), old->size(), stored, *search.found + 1);
        } else {
            const QByteArrayView content = trimmed(line);
            insertText(content.data() + content.size() - m_text.constData(), 0, '=' + stored, *search.found + 1);
            m_marks[*search.found].bare = 0;
        }
        return true;
    }
    // The added line ends as the line before it: a lone CR there has no LF after it, so the
    // added line's lone CR cannot join the next byte into one line break either.
    const Line last = lineAt(m_marks[search.lastEntry].start);
    const LineEnding ending = last.ending == LineEnding::None ? m_newline : last.ending;
    const QByteArray lead = last.ending == LineEnding::None ? lineBreak(ending) : QByteArray();
    m_marks.insert(m_marks.begin() + std::ptrdiff_t(search.lastEntry + 1),
                   Mark{quint32(last.next + lead.size()), nameHash(keyName), 0, 0});
    insertText(last.next, 0, lead + entryLine + lineBreak(ending), search.lastEntry + 2);
    return true;
}

void IniDocument::insertText(qsizetype at, qsizetype replaced, const QByteArray &text, std::size_t firstMoved)
{
    m_text.replace(at, replaced, text);
    const qsizetype moved = text.size() - replaced;
    for (std::size_t i = firstMoved; i < m_marks.size(); ++i)
        m_marks[i].start = quint32(m_marks[i].start + moved);
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes = m_byteOrderMark;
    if (m_encoding == Encoding::Utf8)
        bytes += m_text;
    else
        appendUtf16(bytes, fromWtf8(m_text), m_encoding == Encoding::Utf16Be);
    return bytes + m_oddByte;
}

} // namespace veldo
