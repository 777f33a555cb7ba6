// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/IniDocument.h"

#include <QTest>
#include <QtEndian>

#include <tuple>

using namespace veldo;
using namespace Qt::StringLiterals;

namespace {

// The text in UTF-16 with a byte order mark, each code unit as it is.
QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar unit : u'\uFEFF' + text) {
        char pair[2];
        bigEndian ? qToBigEndian(unit.unicode(), pair) : qToLittleEndian(unit.unicode(), pair);
        bytes.append(pair, 2);
    }
    return bytes;
}

} // namespace

// A section, a key and a value to set; whether it is stored.
using Stored = std::tuple<QString, QString, QString, bool>;

// The bytes before; the writes "section/key[=value] ..." in turn, the value "v" if not given;
// the bytes after.
using Edit = std::tuple<QByteArray, QString, QByteArray>;

// The INI rules, on the text in memory; ConfigFileTest goes through files.
class IniFileTest : public QObject {
    Q_OBJECT
private slots:
    void readsFilesWrittenElsewhere_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("value");   // of key k in section S

        QTest::newRow("no section") << "[T]\nk=1\n"_ba << "";
        QTest::newRow("no key") << "[S]\nj=1\n"_ba << "";
        QTest::newRow("CRLF, other case, blanks") << " [ s ]\t\r\n  K  =  v w  \r\n"_ba << "v w";
        QTest::newRow("comment lines") << "[S]\n;k=1\n  # k=2\nk=3\n"_ba << "3";
        QTest::newRow("first of duplicate keys") << "[S]\nk=1\nK=2\n"_ba << "1";
        QTest::newRow("first of duplicate sections") << "[S]\nj=1\n[T]\n[s]\nk=2\n"_ba << "";
        QTest::newRow("quotes enclosing value") << "[S]\nk=\" v \"\n"_ba << " v ";
        QTest::newRow("text after header") << "[S] ; note\nk=v\n"_ba << "v";
        // What the Windows profile routines read from these bytes.
        QTest::newRow("header runs to its last ']'") << "[S]b]\r\nk=1\r\n"_ba << "";
        QTest::newRow("single quotes enclosing value") << "[S]\r\nk='A1B2'\r\n"_ba << "A1B2";
        QTest::newRow("quotes that differ kept") << "[S]\r\nk='v\"\r\n"_ba << "'v\"";
        QTest::newRow("quote alone kept") << "[S]\r\nk=\"\r\n"_ba << "\"";
        QTest::newRow("Ctrl+Z as blank") << "\x1A[S]\x1A\r\n\x1A k \x1A= \x1A 5 \x1A\r\n\x1A"_ba << "5";
        QTest::newRow("Ctrl+Z inside kept") << "[S]\r\nk=Tog\x1Agle\r\n"_ba << "Tog\x1Agle";
        QTest::newRow("NUL ends value") << "[S]\r\nk= 12 \x00 34\r\n"_ba << "12 ";
        QTest::newRow("NUL ends key") << "[S]\r\nk\x00x=1\r\n"_ba << "1";
        QTest::newRow("blank before NUL in key") << "[S]\r\nk \x00=1\r\n"_ba << "";
        QTest::newRow("NUL ends header") << "[S\x00x]\r\nk=1\r\n"_ba << "1";
        // Windows reads "" here; the value the file holds is kept.
        QTest::newRow("key line without '=' passed over") << "[S]\r\nk\r\nk=1\r\n"_ba << "1";
    }

    void readsFilesWrittenElsewhere()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, value);
        QCOMPARE(IniDocument(text).value(u"S"_s, u"k"_s), value);
    }

    void writeChangesOnlyItsValue_data()
    {
        QTest::addColumn<Edit>("edit");

        QTest::newRow("new file, sections in write order") << Edit{QByteArray(), "B/k A/k b/j", "[B]\r\nk=v\r\nj=v\r\n[A]\r\nk=v\r\n"_ba};
        QTest::newRow("in place, case, blanks kept") << Edit{" [ S ]\t\n  K = old  \n"_ba, "s/k", " [ S ]\t\n  K = v  \n"_ba};
        QTest::newRow("in place, no final break") << Edit{"[S]\nk=1"_ba, "S/k", "[S]\nk=v"_ba};
        QTest::newRow("in place, before a lone CR") << Edit{"[S]\nk=\r1\n"_ba, "S/k", "[S]\nk=v\r1\n"_ba};
        QTest::newRow("in place, past a NUL") << Edit{"[S]\r\nk=1\x00" "2\r\n"_ba, "S/k", "[S]\r\nk=v\r\n"_ba};
        QTest::newRow("into a key line without '='") << Edit{"[S]\r\n k \r\nk=1\r\n"_ba, "S/k", "[S]\r\n k=v \r\nk=1\r\n"_ba};
        QTest::newRow("section behind a stray CR") << Edit{"[T]\r\nj=1\r[S]\r\nk=1\r\n"_ba, "S/k", "[T]\r\nj=1\r[S]\r\nk=v\r\n"_ba};
        QTest::newRow("after last entry") << Edit{"[S]\na=1\n\n# T=1\n"_ba, "S/k", "[S]\na=1\nk=v\n\n# T=1\n"_ba};
        QTest::newRow("into section without entries") << Edit{"[S]\n\n[T]\n"_ba, "S/k", "[S]\nk=v\n\n[T]\n"_ba};
        QTest::newRow("new entry, no final break") << Edit{"[S]\nx=1"_ba, "S/k", "[S]\nx=1\nk=v\n"_ba};
        QTest::newRow("new section, no final break") << Edit{"[A]\nx=1"_ba, "S/k", "[A]\nx=1\n[S]\nk=v\n"_ba};
        QTest::newRow("new section ends as the last line: CRLF") << Edit{"[A]\nx=1\r\n"_ba, "S/k", "[A]\nx=1\r\n[S]\r\nk=v\r\n"_ba};
        QTest::newRow("new section ends as the last line: LF") << Edit{"[A]\r\nx=1\n"_ba, "S/k", "[A]\r\nx=1\n[S]\nk=v\n"_ba};
        QTest::newRow("new line ends as the one before") << Edit{"[S]\r\nx=1\n[T]\r\n"_ba, "S/k", "[S]\r\nx=1\nk=v\n[T]\r\n"_ba};
        QTest::newRow("new line after a lone CR") << Edit{"[S]\rx=1\r[T]\n"_ba, "S/k", "[S]\rx=1\rk=v\r[T]\n"_ba};
        QTest::newRow("first line break after an open end") << Edit{"[A]\r\nx=1\n\x1A"_ba, "S/k", "[A]\r\nx=1\n\x1A\r\n[S]\r\nk=v\r\n"_ba};
        QTest::newRow("no line break yet: CRLF") << Edit{"; x"_ba, "S/k", "; x\r\n[S]\r\nk=v\r\n"_ba};
        QTest::newRow("name led by U+FEFF is its own") << Edit{"[S]\nk=1\n"_ba, u"\uFEFFS/k"_s, "[S]\nk=1\n[\xEF\xBB\xBFS]\nk=v\n"_ba};

        // The encoding and line breaks kept.
        const QString notes = u"; \u00FC\u20AC\U0001F600"_s, lone = u";\xD800"_s;
        const QString was = u"[S]\r\nk=1\r\n%1\r\n"_s, is = u"[S]\r\nk=v\r\n%1\r\n[T]\r\nj=w\r\n"_s;
        const QString both = u"S/k T/j=w"_s;
        QTest::newRow("UTF-8") << Edit{was.arg(notes).toUtf8(), both, is.arg(notes).toUtf8()};
        QTest::newRow("UTF-8 with byte order mark") << Edit{"\xEF\xBB\xBF" + was.arg(notes).toUtf8(), both, "\xEF\xBB\xBF" + is.arg(notes).toUtf8()};
        QTest::newRow("UTF-16 LE") << Edit{utf16(was.arg(notes), false), both, utf16(is.arg(notes), false)};
        QTest::newRow("UTF-16 BE") << Edit{utf16(was.arg(notes), true), both, utf16(is.arg(notes), true)};
        QTest::newRow("UTF-16, unpaired surrogate") << Edit{utf16(was.arg(lone), false), both, utf16(is.arg(lone), false)};
        QTest::newRow("UTF-16, odd length") << Edit{utf16(was.arg(notes), true) + 'x', both, utf16(is.arg(notes), true) + 'x'};
        QTest::newRow("CR only") << Edit{"[S]\rk=1\r;\r"_ba, both, "[S]\rk=v\r;\r[T]\rj=w\r"_ba};
        QTest::newRow("not UTF-8") << Edit{"[S]\nk=1\n;\xFC\x80\n"_ba, both, "[S]\nk=v\n;\xFC\x80\n[T]\nj=w\n"_ba};
    }

    void writeChangesOnlyItsValue()
    {
        QFETCH(Edit, edit);
        const auto &[before, writes, after] = edit;
        IniDocument document(before);
        for (const QString &write : writes.split(u' ')) {
            const QString key = write.section(u'/', 1).section(u'=', 0, 0);
            QVERIFY(document.setValue(write.section(u'/', 0, 0), key, write.contains(u'=') ? write.section(u'=', 1) : u"v"_s));
        }
        QCOMPARE(document.toBytes(), after);
    }

    void valuesComeBackOrAreRefused_data()
    {
        QTest::addColumn<Stored>("storeCase");

        QTest::newRow("blanks around") << Stored{"S", "k", " a b\t", true};
        QTest::newRow("enclosing quotes") << Stored{"S", "k", "\"q\"", true};
        QTest::newRow("INI punctuation") << Stored{"S", "k", "=[a];#", true};
        QTest::newRow("254 characters, whole") << Stored{"S", "k", QString(254, u'x'), true};
        QTest::newRow("255 characters, cut to 254") << Stored{"S", "k", QString(255, u'x'), true};
        QTest::newRow("line feed in value") << Stored{"S", "k", "v\n[T]", false};
        QTest::newRow("empty section") << Stored{"", "k", "v", false};
        QTest::newRow("blank key") << Stored{"S", " \t\x1A", "v", false};
        QTest::newRow("']' in section") << Stored{"S]", "k", "v", false};
        QTest::newRow("'=' in key") << Stored{"S", "k=j", "v", false};
        QTest::newRow("key starting with '['") << Stored{"S", "[k", "v", false};
        QTest::newRow("key starting with ';'") << Stored{"S", " ;k", "v", false};
    }

    void valuesComeBackOrAreRefused()
    {
        QFETCH(Stored, storeCase);
        const auto &[section, key, value, stored] = storeCase;
        const QByteArray before = "[S]\r\nk=old\r\nj=1";
        IniDocument document(before);
        QCOMPARE(document.setValue(section, key, value), stored);
        const IniDocument written(document.toBytes());
        if (stored)
            QCOMPARE(written.value(section, key), value.left(254));
        else
            QCOMPARE(document.toBytes(), before);
        QCOMPARE(written.value(u"S"_s, u"j"_s), u"1"_s);
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "IniFileTest.moc"
