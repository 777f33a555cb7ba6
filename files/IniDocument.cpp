#include "files/IniDocument.h"

#include "files/Utf16Text.h"

#include <QStringDecoder>

#include <algorithm>
#include <type_traits>

namespace veldo {

namespace {

constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16LeMark = "\xFF\xFE";
constexpr QByteArrayView kUtf16BeMark = "\xFE\xFF";

struct LineSpan {
    qsizetype start = 0;
    qsizetype length = 0; // without the line break
    LineEnding ending = LineEnding::None;
};

// Where the lines of a text (bytes or UTF-16 code units) are.
template <typename Text>
std::vector<LineSpan> lineSpans(Text text)
{
    using Unit = std::remove_cv_t<typename Text::value_type>;
    const Unit lineFeed(u'\n'), carriageReturn(u'\r');
    const bool crOnly = !text.contains(lineFeed) && text.contains(carriageReturn);
    std::vector<LineSpan> spans;
    for (qsizetype start = 0; start < text.size();) {
        const qsizetype end = text.indexOf(crOnly ? carriageReturn : lineFeed, start);
        if (end < 0) {
            spans.push_back({start, text.size() - start, LineEnding::None});
            break;
        }
        LineSpan span{start, end - start, crOnly ? LineEnding::Cr : LineEnding::Lf};
        if (!crOnly && end > start && text[end - 1] == carriageReturn) {
            span.ending = LineEnding::CrLf;
            --span.length;
        }
        spans.push_back(span);
        start = end + 1;
    }
    return spans;
}

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
    std::vector<LineSpan> spans;
    if (encoding_ == Encoding::Utf8) {
        spans = lineSpans(rest);
        for (const LineSpan &span : spans)
            addLine({rest.sliced(span.start, span.length).toByteArray(), span.ending, std::nullopt});
    } else {
        if (rest.size() % 2 != 0) {
            oddByte_ = rest.last(1).toByteArray();
            rest.chop(1);
        }
        const QString units = utf16Units(rest, encoding_ == Encoding::Utf16Be);
        spans = lineSpans(QStringView(units));
        for (const LineSpan &span : spans)
            addLine({toWtf8(QStringView(units).sliced(span.start, span.length)), span.ending,
                     rest.sliced(2 * span.start, 2 * span.length).toByteArray()});
    }
    const auto firstBreak = std::find_if(spans.begin(), spans.end(),
                                         [](const LineSpan &span) { return span.ending != LineEnding::None; });
    if (firstBreak != spans.end())
        newline_ = firstBreak->ending;
}

void IniDocument::addLine(Line line)
{
    if (const std::optional<QByteArrayView> name = headerName(line.text)) {
        sections_.emplace_back();
        const QString key = foldedName(*name);
        if (!firstSectionByName_.contains(key))
            firstSectionByName_.insert(key, sections_.size() - 1);
    }
    sections_.back().lines.push_back(std::move(line));
}

std::optional<std::size_t> IniDocument::sectionIndex(QByteArrayView name) const
{
    const auto found = firstSectionByName_.constFind(foldedName(name));
    if (found == firstSectionByName_.constEnd())
        return std::nullopt;
    return *found;
}

IniDocument::KeySearch IniDocument::findKey(const std::vector<Line> &lines, QByteArrayView key)
{
    const QString wanted = foldedName(key);
    KeySearch search;
    for (std::size_t i = 1; i < lines.size() && !search.found; ++i) {
        const std::optional<Entry> entry = entryOf(lines[i].text);
        if (!entry)
            continue;
        if (foldedName(entry->key) == wanted)
            search.found = i;
        search.lastEntry = i;
    }
    return search;
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    const std::optional<std::size_t> index = sectionIndex(section.toUtf8());
    if (!index)
        return {};
    const std::vector<Line> &lines = sections_[*index].lines;
    const KeySearch search = findKey(lines, key.toUtf8());
    if (!search.found)
        return {};
    const QByteArrayView stored = entryOf(lines[*search.found].text)->value;
    return textOf(unquoted(stored)).left(kIniReadLimit);
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

    const std::optional<std::size_t> index = sectionIndex(sectionName);
    if (!index) {
        appendSection(sectionName, entryLine);
        return true;
    }
    std::vector<Line> &lines = sections_[*index].lines;
    const KeySearch search = findKey(lines, keyName);
    if (search.found) {
        Line &line = lines[*search.found];
        const QByteArrayView old = entryOf(line.text)->value;
        const qsizetype at = old.data() - line.text.constData();
        line.text.replace(at, old.size(), stored);
        // A CR among the blanks must not end the line: before a line feed it would read as CR LF.
        if (stored.isEmpty() && line.text.endsWith('\r'))
            line.text.insert(at, "\"\"");
        line.stored.reset();
        return true;
    }
    // Only the file's last line can lack a line break; the new entry goes after it.
    Line &last = lines[search.lastEntry];
    if (last.ending == LineEnding::None)
        last.ending = newline_;
    lines.insert(lines.begin() + std::ptrdiff_t(search.lastEntry + 1), Line{entryLine, newline_, {}});
    return true;
}

void IniDocument::appendSection(const QByteArray &name, const QByteArray &entry)
{
    endLastLine();
    firstSectionByName_.insert(foldedName(name), sections_.size());
    sections_.push_back(Section{{Line{'[' + name + ']', newline_, {}}, Line{entry, newline_, {}}}});
}

void IniDocument::endLastLine()
{
    const auto filled = std::find_if(sections_.rbegin(), sections_.rend(),
                                     [](const Section &section) { return !section.lines.empty(); });
    if (filled != sections_.rend() && filled->lines.back().ending == LineEnding::None)
        filled->lines.back().ending = newline_;
}

void IniDocument::appendEncoded(QByteArray &bytes, QByteArrayView utf8) const
{
    if (encoding_ == Encoding::Utf8) {
        bytes += utf8;
        return;
    }
    appendUtf16(bytes, fromWtf8(utf8), encoding_ == Encoding::Utf16Be);
}

QByteArray IniDocument::toBytes() const
{
    static const QByteArrayView kEndings[] = {"", "\n", "\r\n", "\r"};
    QByteArray bytes = byteOrderMark_;
    for (const Section &section : sections_) {
        for (const Line &line : section.lines) {
            if (line.stored)
                bytes += *line.stored;
            else
                appendEncoded(bytes, line.text);
            appendEncoded(bytes, kEndings[int(line.ending)]);
        }
    }
    return bytes + oddByte_;
}

} // namespace veldo
