// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FileReason.h"

#include <QTest>

#include <cstring>

using namespace veldo;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(veldo::FileError)

class FileReasonTest : public QObject {
    Q_OBJECT
private slots:
    // What callers branch on; the words are checked below.
    void systemRefusalsHaveAKind_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<FileError>("kind");
        QTest::newRow("no such file") << ENOENT << FileError::NotFound;
        QTest::newRow("access denied") << EACCES << FileError::Permission;
        QTest::newRow("operation not permitted") << EPERM << FileError::Permission;
        QTest::newRow("read-only file system") << EROFS << FileError::ReadOnly;
        QTest::newRow("is a directory") << EISDIR << FileError::IsFolder;
        QTest::newRow("no space") << ENOSPC << FileError::DiskFull;
        QTest::newRow("quota") << EDQUOT << FileError::DiskFull;
        QTest::newRow("beyond the size limit") << EFBIG << FileError::DiskFull;
        QTest::newRow("out of memory") << ENOMEM << FileError::OutOfMemory;
        QTest::newRow("loop of links") << ELOOP << FileError::System;
        QTest::newRow("name taken") << EEXIST << FileError::System;
    }

    void systemRefusalsHaveAKind()
    {
        QFETCH(int, error);
        QFETCH(FileError, kind);
        const FileResult result = failureOf(error);
        QCOMPARE(result.kind, kind);
        QCOMPARE(result.error, error);
        QVERIFY(!result.ok());
    }

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
        QTest::newRow("no name") << FileResult::failure(FileError::NoFileName) << "No file name given";
        QTest::newRow("missing file") << FileResult::failure(FileError::NotFound) << "No such file";
        QTest::newRow("names taken") << FileResult{.kind = FileError::NamesTaken, .name = u"2026-12-07T10-15-30-Com3"_s}
                                     << "every name for 2026-12-07T10-15-30-Com3 is taken";
        QTest::newRow("unstorable") << FileResult::failure(FileError::Unstorable)
                                    << "A name or value holds a character that an INI file cannot store";
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
