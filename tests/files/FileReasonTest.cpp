// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileReason.h"

#include <QTest>

#include <cstring>

using namespace veldo;
using namespace Qt::StringLiterals;

class FileReasonTest : public QObject {
    Q_OBJECT
private slots:
    // Without a translation, as on the command line, every errno reads as the C library says it.
    void systemRefusalsInTheLibrarysWords()
    {
        for (int error = 1; error < 134; ++error)
            QCOMPARE(fileReason(failureOf(error)), QString::fromLatin1(std::strerror(error)));
    }

    void ownRefusalsInWords_data()
    {
        QTest::addColumn<FileResult>("result");
        QTest::addColumn<QString>("words");
        QTest::newRow("ok") << FileResult{} << "";
        QTest::newRow("names taken") << FileResult{.kind = FileError::NamesTaken, .name = u"2026-12-07T10-15-30-Com3"_s}
                                     << "every name for 2026-12-07T10-15-30-Com3 is taken";
        QTest::newRow("write and restore failed") << FileResult{.kind = FileError::DiskFull, .error = ENOSPC, .damaged = true}
                                                  << "No space left on device; the file could not be restored and may be damaged";
    }

    void ownRefusalsInWords()
    {
        QFETCH(FileResult, result);
        QFETCH(QString, words);
        QCOMPARE(fileReason(result), words);
    }
};

QTEST_APPLESS_MAIN(FileReasonTest)
#include "FileReasonTest.moc"
