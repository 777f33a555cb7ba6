#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace veldo {

inline constexpr int kIniReadLimit = 254;

enum class LineEnding { None, Lf, CrLf, Cr };

// An INI text held in memory: parsed once, edited value by value, written out once.
// Every byte that no edit touches comes out as it went in, line endings included.
// Names compare without regard to letter case and to blanks around them; of duplicate
// sections, and of duplicate keys in a section, the first one counts. Lines whose first
// character other than a blank is ';' or '#' are comments. Text is UTF-8.
class IniDocument {
public:
    explicit IniDocument(const QByteArray &bytes = {});

    // The value without the blanks around it and without one pair of enclosing double
    // quotes, cut to kIniReadLimit characters; "" when the section or key is missing.
    QString value(const QString &section, const QString &key) const;

    // Stores the value in place when the key exists, else after the last entry of its
    // section, else in a new section at the end. Refuses (false, nothing changed) what could
    // not be read back: a line break or NUL anywhere, an empty name, ']' in a section name,
    // or a key that holds '=' or starts with '[', ';' or '#'.
    bool setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;

private:
    enum class Encoding { Utf8, Utf16Le, Utf16Be };
    struct Line {
        QByteArray text; // the file's own bytes, or UTF-16 as WTF-8; without the line break
        LineEnding ending = LineEnding::None;
        // A UTF-16 line as the file held it, until it is edited: then only an edited line is
        // encoded anew, and a line that is not valid UTF-16 keeps its bytes.
        std::optional<QByteArray> stored;
    };
    // A header line and the lines up to the next header; the first section is the lead-in
    // before any header and has none.
    struct Section {
        std::vector<Line> lines;
    };

    // Where a key is in a section, and its last entry line (0, the header, when it has none).
    struct KeySearch {
        std::optional<std::size_t> found;
        std::size_t lastEntry = 0;
    };

    std::optional<std::size_t> sectionIndex(QByteArrayView name) const;
    static KeySearch findKey(const std::vector<Line> &lines, QByteArrayView key);
    void addLine(Line line);
    void appendSection(const QByteArray &name, const QByteArray &entry);
    void endLastLine();
    void appendEncoded(QByteArray &bytes, QByteArrayView utf8) const;

    Encoding encoding_ = Encoding::Utf8;
    QByteArray byteOrderMark_;
    QByteArray oddByte_; // the last byte of a UTF-16 text of odd length
    LineEnding newline_ = LineEnding::Lf; // for added lines: the file's first line break
    std::vector<Section> sections_{1};
    QHash<QString, std::size_t> firstSectionByName_;
};

} // namespace veldo
