// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigHistory.h"

#include <QTest>

using namespace veldo;
using namespace Qt::StringLiterals;

namespace {

// A configuration told apart by its number.
SwitchConfig numbered(int number)
{
    SwitchConfig config;
    config.setCode(0, QStringLiteral("%1").arg(number, 12, 10, QLatin1Char('0')));
    return config;
}

} // namespace

class ConfigHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void walksBackAndForth_data()
    {
        QTest::addColumn<QString>("steps");   // a digit: that configuration is shown; u: undo; r: redo
        QTest::addColumn<QString>("results"); // what each undo and redo gave; "-" for nothing
        QTest::newRow("showing the same again is no step") << "11uu" << "0-";
        QTest::newRow("a new step forgets the undone ones") << "12u3ruu" << "1-10";
        // The window's own depth, at the boundary: fifty steps back, and not one more.
        QTest::newRow("fifty recorded") << u"12"_s.repeated(25) + QString(51, u'u') << u"12"_s.repeated(24) + u"10-"_s;
        QTest::newRow("fifty-one recorded") << u"12"_s.repeated(25) + u"1"_s + QString(51, u'u') << u"21"_s.repeated(25) + u"-"_s;
    }

    void walksBackAndForth()
    {
        QFETCH(QString, steps);
        QFETCH(QString, results);
        ConfigHistory history(numbered(0));
        QString seen;
        for (QChar step : steps) {
            if (step.isDigit()) {
                history.record(numbered(step.digitValue()));
                continue;
            }
            const std::optional<SwitchConfig> shown = step == u'u' ? history.undo() : history.redo();
            seen += shown ? shown->code(0).back() : QChar(u'-');
        }
        QCOMPARE(seen, results);
    }
};

QTEST_APPLESS_MAIN(ConfigHistoryTest)
#include "ConfigHistoryTest.moc"
