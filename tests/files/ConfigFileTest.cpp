// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ConfigFile.h"

#include "support/FileFixture.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

using namespace veldo;
using namespace veldo::test;
using namespace Qt::StringLiterals;

namespace {

const QString kZeros = u"000000000000"_s;
const char *const kTypeWords[] = {"Slave", "Master", "Pulse", "Toggle"};

SwitchConfig randomConfig()
{
    static QRandomGenerator random(20240611);
    const auto code = [] { return QString::number(random.generate64() >> 16, 16).toUpper().rightJustified(12, u'0'); };
    SwitchConfig config;
    for (OutputSetting &setting : config.outputs)
        setting = {code(), code(), OutputType(random.bounded(4))};
    return config;
}

// What a file holds that has nothing but this configuration in it.
QByteArray layoutOf(const SwitchConfig &config)
{
    QByteArray text;
    for (int output = 0; output < 16; ++output) {
        const OutputSetting &setting = config.outputs.at(std::size_t(output));
        text += "[Output" + QByteArray::number(output, 16).toUpper() + "]\r\nCode A=" + setting.codeA.toLatin1()
            + "\r\nCode B=" + setting.codeB.toLatin1() + "\r\nOutput Type=" + kTypeWords[int(setting.type)] + "\r\n";
    }
    return text;
}

} // namespace

// The entries of section Output0 (null: no file); the Code A and type loaded.
using LoadRule = std::tuple<QByteArray, QString, OutputType>;

class ConfigFileTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); path = dir.filePath(u"config.ini"_s); }
    void cleanup() { QFile::remove(path); }

    // Other content is kept as IniFileTest shows.
    void saveWritesItsLayoutAndLoadsBack_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::newRow("new file") << QByteArray();
        QTest::newRow("other configuration replaced") << layoutOf(randomConfig());
    }

    void saveWritesItsLayoutAndLoadsBack()
    {
        QFETCH(QByteArray, before);
        if (!before.isNull())
            QVERIFY(putFileBytes(path, before));
        const SwitchConfig config = randomConfig();
        QVERIFY(saveConfigFile(path, config).ok());
        QCOMPARE(fileBytes(path), layoutOf(config));
        SwitchConfig loaded;
        QVERIFY(loadConfigFile(path, loaded).ok());
        QCOMPARE(loaded, config);
    }

    void loadRules_data()
    {
        QTest::addColumn<LoadRule>("loadRule");

        QTest::newRow("lower case, longer than 12") << LoadRule{"Code A=abcdef0a1b2cFF"_ba, "ABCDEF0A1B2C", OutputType::Pulse};
        QTest::newRow("toggle in lower case") << LoadRule{"Output Type=toggle"_ba, kZeros, OutputType::Pulse};
        QTest::newRow("no file") << LoadRule{QByteArray(), kZeros, OutputType::Pulse};
    }

    void loadRules()
    {
        QFETCH(LoadRule, loadRule);
        const auto &[stored, codeA, type] = loadRule;
        if (!stored.isNull())
            QVERIFY(putFileBytes(path, "[Output0]\n" + stored + "\n[Other]\nCode B=1\n"));
        SwitchConfig loaded = randomConfig();
        QVERIFY(loadConfigFile(path, loaded).ok());
        QCOMPARE(loaded.outputs[0], (OutputSetting{codeA, kZeros, type}));
        QCOMPARE(loaded.outputs[15], (OutputSetting{kZeros, kZeros, OutputType::Pulse}));
    }

private:
    QTemporaryDir dir;
    QString path;
};

QTEST_GUILESS_MAIN(ConfigFileTest)
#include "ConfigFileTest.moc"
