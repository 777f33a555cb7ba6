#include "files/ConfigFile.h"
#include "files/KeptDownloads.h"

#include "FileFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace veldo;
using namespace veldo::test;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(10, 15, 30));

SwitchConfig downloaded()
{
    SwitchConfig config;
    config.outputs[7] = {QStringLiteral("0123456789AB"), QStringLiteral("BA9876543210"), OutputType::Master};
    return config;
}

} // namespace

class KeptDownloadsTest : public QObject {
    Q_OBJECT
private slots:
    void keepsTheNewest_data();
    void keepsTheNewest();
};

void KeptDownloadsTest::keepsTheNewest_data()
{
    QTest::addColumn<QStringList>("before"); // files in the folder; "=" alone: the folder is a file
    QTest::addColumn<QString>("added");      // empty: nothing kept
    QTest::addColumn<QStringList>("gone");
    const QString kept = QStringLiteral("2026-12-07T10-15-30-Com3.ini");
    QStringList full = {QStringLiteral("notes.txt"), QStringLiteral("old.ini"), QStringLiteral("2020-01-01T00-00-00-Com3.ini.bak")};
    const QDateTime first(QDate(2026, 12, 6), QTime(0, 0));
    for (int i = 0; i < kKeptDownloadCount - 1; ++i)
        full << first.addSecs(i).toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss-'Com'1'.ini'"));
    full << QStringLiteral("2026-12-06T00-00-00-Com1-2.ini"); // the second of that second
    QTest::newRow("first download, folder made") << QStringList() << kept << QStringList();
    QTest::newRow("same second, same port") << QStringList{kept} << QStringLiteral("2026-12-07T10-15-30-Com3-2.ini")
                                            << QStringList();
    QTest::newRow("the oldest beyond the limit goes, other files stay")
        << full << kept << QStringList{QStringLiteral("2026-12-06T00-00-00-Com1.ini")};
    QTest::newRow("folder path is a file: nothing kept, nothing harmed") << QStringList{QStringLiteral("=")} << QString()
                                                                         << QStringList();
}

void KeptDownloadsTest::keepsTheNewest()
{
    QFETCH(QStringList, before);
    QFETCH(QString, added);
    QFETCH(QStringList, gone);
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("veldo/downloads"));
    const QByteArray blocker = "not a folder";
    if (before == QStringList{QStringLiteral("=")}) {
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("veldo"))) && putFileBytes(folder, blocker));
        before.clear();
    }
    for (const QString &name : before)
        QVERIFY(QDir().mkpath(folder) && putFileBytes(folder + u'/' + name, name.toUtf8()));

    const FileResult result = keepDownload(downloaded(), 3, kNow, folder);

    QCOMPARE(result.ok, !added.isEmpty());
    if (!result.ok) {
        QVERIFY(!result.reason.isEmpty());
        QCOMPARE(fileBytes(folder), blocker);
        return;
    }
    QStringList expected = before;
    for (const QString &name : gone)
        expected.removeOne(name);
    expected << added;
    expected.sort();
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
    SwitchConfig config;
    QVERIFY(loadConfigFile(folder + u'/' + added, config).ok);
    QCOMPARE(config, downloaded());
}

QTEST_APPLESS_MAIN(KeptDownloadsTest)
#include "KeptDownloadsTest.moc"
