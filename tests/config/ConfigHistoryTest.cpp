// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigHistory.h"

#include <QTest>

using namespace veldo;

namespace {

// A configuration told apart by one digit.
SwitchConfig numbered(char digit)
{
    SwitchConfig config;
    config.setCode(0, QStringLiteral("00000000000") + QLatin1Char(digit));
    return config;
}

} // namespace

class ConfigHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void walksBackAndForth_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("steps");   // a digit: that configuration is shown; u: undo; r: redo
        QTest::addColumn<QString>("results"); // what each undo and redo gave; "-" for nothing
        QTest::newRow("showing the same again is no step") << kUndoDepth << "11uu" << "0-";
        QTest::newRow("a new step forgets the undone ones") << kUndoDepth << "12u3ruu" << "1-10";
        QTest::newRow("only so many steps back") << 3 << "12345uuuu" << "432-";
    }

    void walksBackAndForth()
    {
        QFETCH(int, depth);
        QFETCH(QString, steps);
        QFETCH(QString, results);
        ConfigHistory history(numbered('0'), depth);
        QString seen;
        for (QChar step : steps) {
            if (step.isDigit()) {
                history.record(numbered(step.toLatin1()));
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
