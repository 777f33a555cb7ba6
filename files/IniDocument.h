// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace veldo {

inline constexpr int kIniReadLimit = 254;

enum class LineEnding { None,
                        Lf,
                        CrLf,
                        Cr };

// An INI text held in memory: parsed once, edited value by value, written out once.
// Every byte that no edit touches comes out as it went in, line endings included.
// It is read as the Windows profile routines read it, so that a file shared with the Windows
// program means the same to both: a line ends at LF, CR LF or a lone CR; blanks are space,
// tab, the other ASCII controls 0x0B to 0x0D and Ctrl+Z; a name or value ends at a NUL.
// Names compare without regard to letter case and to blanks around them; of duplicate
// sections, and of duplicate keys in a section, the first one counts. A header's name runs to
// the last ']' of its line; a '[' line without one is a key line. Lines whose first character
// other than a blank is ';' or '#' are comments. Text is UTF-8.
class IniDocument {
public:
    explicit IniDocument(const QByteArray &bytes = {});

    // The value without the blanks around it, up to a NUL, without one pair of enclosing
    // quotes (double or single), cut to kIniReadLimit characters; "" when the section or key
    // is missing. A key line without '=' is passed over, where Windows reads "" for it.
    QString value(const QString &section, const QString &key) const;

    // Stores the value in place when the key exists (a key line without '=' gains one, so
    // that Windows reads the value too), else after the last entry of its section, else in a
    // new section at the end. Added lines end as the line before them; a new text uses CR LF.
    // Refuses (false, nothing changed) what could not be read back: a line break or NUL
    // anywhere, an empty name, ']' in a section name, or a key that holds '=' or starts with
    // '[', ';' or '#'.
    bool setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;

private:
    enum class Encoding { Utf8,
                          Utf16Le,
                          Utf16Be };
    struct Line {
        qsizetype start = 0;
        qsizetype length = 0; // without the line break
        LineEnding ending = LineEnding::None;
        qsizetype next = 0; // where the next line starts
    };
    // A section header or a key line after the first header, with a hash of its folded
    // name: eight bytes a line, so that a file of nothing but short lines stays small.
    struct Mark {
        quint32 start;
        quint32 nameHash : 30;
        quint32 header : 1;
        quint32 bare : 1; // a key line without '='
    };
    // Where a key is in a section, and its last entry (the section's header when it has
    // none), as indices of marks.
    struct KeySearch {
        std::optional<std::size_t> found;
        std::size_t lastEntry = 0;
    };

    Line lineAt(qsizetype start) const;
    QByteArrayView lineText(std::size_t mark) const;
    static QByteArray lineBreak(LineEnding ending);
    LineEnding lastLineEnding() const;
    std::optional<std::size_t> sectionIndex(QByteArrayView name) const;
    KeySearch findKey(std::size_t header, QByteArrayView key, bool bareCounts) const;
    void insertText(qsizetype at, qsizetype replaced, const QByteArray &text, std::size_t firstMoved);

    Encoding m_encoding = Encoding::Utf8;
    QByteArray m_byteOrderMark;
    QByteArray m_oddByte; // the last byte of a UTF-16 text of odd length
    // For a line added after one without a line break: the file's first line break, or the
    // Windows program's own where the file has none.
    LineEnding m_newline = LineEnding::CrLf;
    // The text after the byte order mark: the file's own bytes, or UTF-16 as WTF-8, which
    // comes back as the same code units. A file is far below the 4 GiB a mark can point into.
    QByteArray m_text;
    std::vector<Mark> m_marks;
};

} // namespace veldo
