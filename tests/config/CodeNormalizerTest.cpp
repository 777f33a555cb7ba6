// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/CodeNormalizer.h"

#include <QTest>

using namespace veldo;

class CodeNormalizerTest : public QObject {
    Q_OBJECT
private slots:
    void normalizes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("code");

        QTest::newRow("lower case goes upper") << "abcdef012345" << "ABCDEF012345";
        QTest::newRow("empty") << "" << "000000000000";
        QTest::newRow("three digits") << "ABC" << "AB0C00000000";
        QTest::newRow("odd last digit is the low digit") << "12345" << "123405000000";
        QTest::newRow("letter beyond F first gives 00") << "G7123456789A" << "00123456789A";
        QTest::newRow("digit then letter beyond F") << "7G123456789A" << "07123456789A";
        QTest::newRow("blank then digit") << " 5AAAAAAAAAA" << "05AAAAAAAAAA";
        QTest::newRow("tab and line feed skipped") << "\t1\n2" << "010200000000";
        QTest::newRow("other blanks are not skipped") << "\r1" << "000000000000";
        QTest::newRow("after the twelfth ignored") << "111111111111FF" << "111111111111";
        QTest::newRow("non-ASCII digit is junk") << QString::fromUtf8("\xEF\xBC\x91" "1") << "000000000000";
        QTest::newRow("mixed pairs") << "-1a-Bq7 .9ff" << "000A0B0700FF";
    }

    void normalizes()
    {
        QFETCH(QString, text);
        QFETCH(QString, code);
        QCOMPARE(NormalizeCode(text), code);
        QCOMPARE(NormalizeCode(code), code); // normalising twice changes nothing
    }
};

QTEST_APPLESS_MAIN(CodeNormalizerTest)
#include "CodeNormalizerTest.moc"
