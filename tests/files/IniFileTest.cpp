#include "files/IniFile.h"

#include "FileFixture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace veldo;
using veldo::test::fileBytes;
using veldo::test::putFileBytes;

class IniFileTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); path = dir.filePath(QStringLiteral("test.ini")); }
    void cleanup() { QFile::remove(path); }

    void readsFilesWrittenElsewhere_data();
    void readsFilesWrittenElsewhere();
    void writeChangesOnlyItsValue_data();
    void writeChangesOnlyItsValue();
    void valuesComeBackUnchanged_data();
    void valuesComeBackUnchanged();
    void refusesWhatCouldNotBeReadBack_data();
    void refusesWhatCouldNotBeReadBack();

private:
    QTemporaryDir dir;
    QString path;
};

void IniFileTest::readsFilesWrittenElsewhere_data()
{
    QTest::addColumn<QByteArray>("text"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("no file") << QByteArray() << "S" << "k" << "";
    QTest::newRow("no key") << QByteArray("[S]\nj=1\n") << "S" << "k" << "";
    QTest::newRow("empty value") << QByteArray("[S]\nk=\n") << "S" << "k" << "";
    QTest::newRow("comment lines") << QByteArray("[S]\n;k=1\n  # k=2\nk=3\n") << "S" << "k" << "3";
    QTest::newRow("entry before any section") << QByteArray("k=1\n[S]\n") << "S" << "k" << "";
    QTest::newRow("first of duplicate keys") << QByteArray("[S]\nk=1\nK=2\n") << "S" << "k" << "1";
    QTest::newRow("first of duplicate sections")
        << QByteArray("[S]\nk=1\n[T]\n[s]\nk=2\nj=3\n") << "S" << "j" << "";
    QTest::newRow("quotes enclosing value") << QByteArray("[S]\nk=\" v \"\n") << "S" << "k" << " v ";
    QTest::newRow("text after header") << QByteArray("[S] ; note\nk=v\n") << "S" << "k" << "v";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nk=v\n") << "S" << "k" << "v";
    QTest::newRow("UTF-8 names, case folded")
        << QByteArray("[Gr\xC3\xBC\xC3\x9F" "e]\n\xC3\xA9t\xC3\xA9=\xC3\xBC\n")
        << QString::fromUtf8("GR\xC3\x9C\xC3\x9F" "E") << QString::fromUtf8("\xC3\x89T\xC3\x89")
        << QString::fromUtf8("\xC3\xBC");
}

void IniFileTest::readsFilesWrittenElsewhere()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    if (!text.isNull())
        QVERIFY(putFileBytes(path, text));
    QCOMPARE(ReadIniString(section, key, path), value);
}

void IniFileTest::writeChangesOnlyItsValue_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    const QByteArray other = "; settings\r\n[A]\r\nx = 1 \r\n\r\n";
    QTest::newRow("new file") << QByteArray() << "S" << "k" << QByteArray("[S]\nk=v\n");
    QTest::newRow("in place, CRLF") << other + "[S]\r\nk=old\r\nz=2\r\n" << "S" << "k"
                                    << other + "[S]\r\nk=v\r\nz=2\r\n";
    QTest::newRow("in place, other case, blanks kept")
        << QByteArray(" [ S ]\t\n  K  =  old  \n") << "s" << "k" << QByteArray(" [ S ]\t\n  K  =  v  \n");
    QTest::newRow("first of duplicates") << QByteArray("[S]\nk=1\nk=1\n[S]\nk=1\n") << "S" << "k"
                                         << QByteArray("[S]\nk=v\nk=1\n[S]\nk=1\n");
    QTest::newRow("after last entry, before blank lines")
        << QByteArray("[S]\na=1\n\n; T follows\n[T]\nb=2\n") << "S" << "k"
        << QByteArray("[S]\na=1\nk=v\n\n; T follows\n[T]\nb=2\n");
    QTest::newRow("into section without entries") << QByteArray("[S]\n\n[T]\n") << "S" << "k"
                                                  << QByteArray("[S]\nk=v\n\n[T]\n");
    QTest::newRow("new section, CRLF") << other << "S" << "k" << other + "[S]\r\nk=v\r\n";
    QTest::newRow("new section, no final break") << QByteArray("[A]\nx=1") << "S" << "k"
                                                 << QByteArray("[A]\nx=1\n[S]\nk=v\n");
    QTest::newRow("new entry, no final break") << QByteArray("[S]\nx=1") << "S" << "k"
                                               << QByteArray("[S]\nx=1\nk=v\n");
    QTest::newRow("in place, no final break") << QByteArray("[S]\nk=1") << "S" << "k"
                                              << QByteArray("[S]\nk=v");
    QTest::newRow("mixed endings, first one for new lines")
        << QByteArray("\xEF\xBB\xBF[A]\r\nx=1\n") << "S" << "k"
        << QByteArray("\xEF\xBB\xBF[A]\r\nx=1\n[S]\r\nk=v\r\n");
    QTest::newRow("bytes that are not UTF-8 kept") << QByteArray("[A]\nx=\xFF\xFE\n") << "S" << "k"
                                                   << QByteArray("[A]\nx=\xFF\xFE\n[S]\nk=v\n");
}

void IniFileTest::writeChangesOnlyItsValue()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(putFileBytes(path, before));
    QVERIFY(WriteIniString(section, key, QStringLiteral("v"), path));
    QCOMPARE(fileBytes(path), after);
    QCOMPARE(ReadIniString(section, key, path), QStringLiteral("v"));
}

void IniFileTest::valuesComeBackUnchanged_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");

    const QString limit(kIniReadLimit, u'x');
    QTest::newRow("code") << "0123456789AB" << "0123456789AB";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blanks around") << " a b\t" << " a b\t";
    QTest::newRow("enclosing quotes") << "\"q\"" << "\"q\"";
    QTest::newRow("lone quote") << "\"" << "\"";
    QTest::newRow("INI punctuation") << "=[a];#" << "=[a];#";
    const QString nonAscii = QString::fromUtf8("\xC3\xBC\xE2\x82\xAC");
    QTest::newRow("non-ASCII") << nonAscii << nonAscii;
    QTest::newRow("at the read limit") << limit << limit;
    QTest::newRow("one beyond the limit") << limit + u'y' << limit;
}

void IniFileTest::valuesComeBackUnchanged()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    QVERIFY(putFileBytes(path, "[S]\nk=old\nj=1\n"));
    QVERIFY(WriteIniString(QStringLiteral("S"), QStringLiteral("k"), value, path));
    QCOMPARE(ReadIniString(QStringLiteral("S"), QStringLiteral("k"), path), readBack);
    QCOMPARE(ReadIniString(QStringLiteral("S"), QStringLiteral("j"), path), QStringLiteral("1"));
}

void IniFileTest::refusesWhatCouldNotBeReadBack_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("line feed in value") << "S" << "k" << "v\n[T]";
    QTest::newRow("carriage return in value") << "S" << "k" << "v\rw";
    QTest::newRow("NUL in value") << "S" << "k" << QString(QChar(0));
    QTest::newRow("line feed in key") << "S" << "k\nj" << "v";
    QTest::newRow("empty section") << "" << "k" << "v";
    QTest::newRow("blank key") << "S" << " \t" << "v";
    QTest::newRow("']' in section") << "S]" << "k" << "v";
    QTest::newRow("'=' in key") << "S" << "k=j" << "v";
    QTest::newRow("key starting with '['") << "S" << "[k" << "v";
    QTest::newRow("key starting with ';'") << "S" << " ;k" << "v";
    QTest::newRow("key starting with '#'") << "S" << "#k" << "v";
}

void IniFileTest::refusesWhatCouldNotBeReadBack()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[S]\r\nk=old";
    QVERIFY(putFileBytes(path, before));
    QVERIFY(!WriteIniString(section, key, value, path));
    QCOMPARE(fileBytes(path), before);
    QFile::remove(path);
    QVERIFY(!WriteIniString(section, key, value, path));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(IniFileTest)
#include "IniFileTest.moc"
