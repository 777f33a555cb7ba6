// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/KeptDownloads.h"

#include "files/FileReason.h"

#include "support/Configs.h"
#include "support/FileFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

using namespace veldo;
using namespace veldo::test;

// The files in the folder (null: the folder's path is a file); the file added (empty: nothing
// kept); the file gone.
using Keep = std::tuple<QStringList, QString, QString>;

class KeptDownloadsTest : public QObject {
    Q_OBJECT
private slots:
    void keepsTheNewest_data()
    {
        QTest::addColumn<Keep>("keepCase");
        const QString kept = QStringLiteral("2026-12-07T10-15-30-Com3.ini");
        QStringList full = {QStringLiteral("notes.txt"), QStringLiteral("old.ini"), QStringLiteral("2020-01-01T00-00-00-Com3.ini~")};
        for (int i = 0; i < 199; ++i) // with the one below, 200: as many as are kept
            full << QDateTime(QDate(2026, 12, 6), QTime(0, 0)).addSecs(i).toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss-'Com1.ini'"));
        full << QStringLiteral("2026-12-06T00-00-00-Com1-2.ini"); // the second of that second
        QTest::newRow("same second, same port") << Keep{QStringList{kept}, QStringLiteral("2026-12-07T10-15-30-Com3-2.ini"), QString()};
        QTest::newRow("beyond the limit the oldest goes, others' files stay") << Keep{full, kept, QStringLiteral("2026-12-06T00-00-00-Com1.ini")};
        QTest::newRow("folder's path is a file: nothing kept, nothing harmed") << Keep{QStringList(), QString(), QString()};
    }

    void keepsTheNewest()
    {
        QFETCH(Keep, keepCase);
        auto [before, added, gone] = keepCase;
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("veldo/downloads"));
        QVERIFY(QDir().mkpath(added.isEmpty() ? home.filePath(QStringLiteral("veldo")) : folder));
        if (added.isEmpty())
            QVERIFY(putFileBytes(folder, "not a folder"));
        for (const QString &name : before)
            QVERIFY(putFileBytes(folder + u'/' + name, name.toUtf8()));
        SwitchConfig config;
        config.outputs[7] = {QStringLiteral("0123456789AB"), QStringLiteral("BA9876543210"), OutputType::Master};

        const FileResult result = keepDownload(config, QStringLiteral("Com3"), QDateTime(QDate(2026, 12, 7), QTime(10, 15, 30)), folder);

        QVERIFY(result.ok() == !added.isEmpty() && result.ok() == fileReason(result).isEmpty());
        if (!result.ok()) {
            QCOMPARE(fileBytes(folder), QByteArray("not a folder"));
            return;
        }
        before.removeOne(gone);
        before << added;
        before.sort();
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), before);
        QCOMPARE(test::loadedConfig(folder + u'/' + added), config);
    }
};

QTEST_APPLESS_MAIN(KeptDownloadsTest)
#include "KeptDownloadsTest.moc"
