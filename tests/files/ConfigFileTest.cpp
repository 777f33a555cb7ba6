#include "files/ConfigFile.h"
#include "files/IniFile.h"

#include "FileFixture.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace veldo;
using veldo::test::fileBytes;
using veldo::test::folderEntries;
using veldo::test::putFileBytes;

namespace {

const char *const kTypeWords[] = {"Slave", "Master", "Pulse", "Toggle"};

SwitchConfig randomConfig(QRandomGenerator &random)
{
    const auto code = [&random] {
        const quint64 bytes = random.generate64() & 0xFFFF'FFFF'FFFFull;
        return QString::number(bytes, 16).toUpper().rightJustified(12, u'0');
    };
    SwitchConfig config;
    for (OutputSetting &setting : config.outputs)
        setting = {code(), code(), OutputType(random.bounded(kTypeCount))};
    return config;
}

// What a file holds that has nothing but this configuration in it.
QByteArray layoutOf(const SwitchConfig &config, const QByteArray &newline)
{
    QByteArray text;
    for (int output = 0; output < kOutputCount; ++output) {
        const OutputSetting &setting = config.outputs.at(std::size_t(output));
        text += "[Output" + QByteArray(1, "0123456789ABCDEF"[output]) + "]" + newline
            + "Code A=" + setting.codeA.toLatin1() + newline + "Code B=" + setting.codeB.toLatin1()
            + newline + "Output Type=" + kTypeWords[int(setting.type)] + newline;
    }
    return text;
}

SwitchConfig emptyLoad()
{
    SwitchConfig config;
    for (OutputSetting &setting : config.outputs)
        setting.type = OutputType::Pulse;
    return config;
}

enum class Fault { ReadOnlyFile, ReadOnlyFolder, MissingFolder, NameIsFolder, UnreadableFile };

} // namespace

class ConfigFileTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); path = dir.filePath(QStringLiteral("config.ini")); }
    void cleanup() { QFile::remove(path); }

    void savesLayoutAndLoadsItBack_data();
    void savesLayoutAndLoadsItBack();
    void saveEqualsSingleWrites_data();
    void saveEqualsSingleWrites();
    void loadRules_data();
    void loadRules();
    void loadsEmptyConfiguration_data();
    void loadsEmptyConfiguration();
    void faultsLeaveFileAsItWas_data();
    void faultsLeaveFileAsItWas();
    void fullDiskLeavesFileAsItWas();
    void writesThroughLinkKeepingModeAndOwner();

private:
    QTemporaryDir dir;
    QString path;
    QRandomGenerator random{20240611};
};

void ConfigFileTest::savesLayoutAndLoadsItBack_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QByteArray>("newline");
    QTest::addColumn<QByteArray>("kept");

    const QByteArray other = "; mine\n[Other]\nCode A=x\n";
    QTest::newRow("new file") << QByteArray() << QByteArray("\n") << QByteArray();
    QTest::newRow("other content kept") << other << QByteArray("\n") << other;
    QTest::newRow("other configuration replaced")
        << layoutOf(randomConfig(random), "\r\n") << QByteArray("\r\n") << QByteArray();
}

void ConfigFileTest::savesLayoutAndLoadsItBack()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, newline);
    QFETCH(QByteArray, kept);
    if (!before.isNull())
        QVERIFY(putFileBytes(path, before));
    const SwitchConfig config = randomConfig(random);
    QVERIFY(saveConfigFile(path, config).ok);
    QCOMPARE(fileBytes(path), kept + layoutOf(config, newline));
    SwitchConfig loaded;
    QVERIFY(loadConfigFile(path, loaded).ok);
    QCOMPARE(loaded, config);
}

void ConfigFileTest::saveEqualsSingleWrites_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file

    QTest::newRow("no file") << QByteArray();
    QTest::newRow("part of a configuration, by hand")
        << QByteArray("[output3]\r\n CODE B = 1 \r\n; keep\r\n\r\n[Other]\r\nx=y");
    QTest::newRow("duplicate sections") << QByteArray("[Output0]\nCode A=1\n[Output0]\nCode A=2\n");
}

void ConfigFileTest::saveEqualsSingleWrites()
{
    QFETCH(QByteArray, before);
    const QString single = dir.filePath(QStringLiteral("single.ini"));
    if (!before.isNull())
        QVERIFY(putFileBytes(path, before) && putFileBytes(single, before));
    const SwitchConfig config = randomConfig(random);
    QVERIFY(saveConfigFile(path, config).ok);
    for (int output = 0; output < kOutputCount; ++output) {
        const OutputSetting &setting = config.outputs.at(std::size_t(output));
        const QString section = QStringLiteral("Output") + QChar(u"0123456789ABCDEF"[output]);
        QVERIFY(WriteIniString(section, QStringLiteral("Code A"), setting.codeA, single));
        QVERIFY(WriteIniString(section, QStringLiteral("Code B"), setting.codeB, single));
        const QString type = kTypeWords[int(setting.type)];
        QVERIFY(WriteIniString(section, QStringLiteral("Output Type"), type, single));
    }
    QCOMPARE(fileBytes(path), fileBytes(single));
    QFile::remove(single);
}

void ConfigFileTest::loadRules_data()
{
    QTest::addColumn<QByteArray>("stored"); // the entries of section Output0
    QTest::addColumn<QString>("codeA");
    QTest::addColumn<OutputType>("type");

    const QString zero = kZeroCode;
    QTest::newRow("as saved")
        << QByteArray("Code A=0123456789AB\nOutput Type=Toggle") << "0123456789AB" << OutputType::Toggle;
    QTest::newRow("lower-case hex") << QByteArray("Code A=abcdef0a1b2c") << "ABCDEF0A1B2C" << OutputType::Pulse;
    QTest::newRow("short code") << QByteArray("Code A=12") << "120000000000" << OutputType::Pulse;
    QTest::newRow("empty code") << QByteArray("Code A=") << zero << OutputType::Pulse;
    QTest::newRow("beyond 12 characters") << QByteArray("Code A=111111111111FF") << "111111111111" << OutputType::Pulse;
    QTest::newRow("Master") << QByteArray("Output Type=Master") << zero << OutputType::Master;
    QTest::newRow("toggle in lower case") << QByteArray("Output Type=toggle") << zero << OutputType::Pulse;
    QTest::newRow("unknown word") << QByteArray("Output Type=Slaves") << zero << OutputType::Pulse;
}

void ConfigFileTest::loadRules()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, codeA);
    QFETCH(OutputType, type);
    QVERIFY(putFileBytes(path, "[Output0]\n" + stored + "\n"));
    SwitchConfig expected = emptyLoad();
    expected.outputs[0].codeA = codeA;
    expected.outputs[0].type = type;
    SwitchConfig loaded = randomConfig(random);
    QVERIFY(loadConfigFile(path, loaded).ok);
    QCOMPARE(loaded, expected);
}

void ConfigFileTest::loadsEmptyConfiguration_data()
{
    QTest::addColumn<QByteArray>("text"); // null: no file
    QTest::addColumn<QString>("name");

    QTest::newRow("no file") << QByteArray() << "config.ini";
    QTest::newRow("no folder") << QByteArray() << "missing/config.ini";
    QTest::newRow("empty file") << QByteArray("") << "config.ini";
    QTest::newRow("other sections only") << QByteArray("[output 0]\nCode A=1\n") << "config.ini";
}

void ConfigFileTest::loadsEmptyConfiguration()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, name);
    if (!text.isNull())
        QVERIFY(putFileBytes(path, text));
    SwitchConfig loaded = randomConfig(random);
    QVERIFY(loadConfigFile(dir.filePath(name), loaded).ok);
    QCOMPARE(loaded, emptyLoad());
}

void ConfigFileTest::faultsLeaveFileAsItWas_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("loadFails");

    QTest::newRow("read-only file") << Fault::ReadOnlyFile << false;
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << false;
    QTest::newRow("missing folder") << Fault::MissingFolder << false;
    QTest::newRow("name of a folder") << Fault::NameIsFolder << true;
    QTest::newRow("unreadable file") << Fault::UnreadableFile << true;
}

void ConfigFileTest::faultsLeaveFileAsItWas()
{
    QFETCH(Fault, fault);
    QFETCH(bool, loadFails);
    const QString folder = dir.filePath(QStringLiteral("faults"));
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + QStringLiteral("/config.ini");
    const QByteArray before = "[Output0]\nCode A=111111111111\n; mine\n";
    QVERIFY(putFileBytes(target, before));
    const QStringList entries = folderEntries(folder);
    const auto setMode = [](const QString &name, mode_t mode) {
        QVERIFY(::chmod(QFile::encodeName(name).constData(), mode) == 0);
    };

    switch (fault) {
    case Fault::ReadOnlyFile: setMode(target, 0444); break;
    case Fault::ReadOnlyFolder: setMode(folder, 0555); break;
    case Fault::MissingFolder: target = folder + QStringLiteral("/missing/config.ini"); break;
    case Fault::NameIsFolder: target = folder; break;
    case Fault::UnreadableFile: setMode(target, 0200); break;
    }
    const FileResult saved = saveConfigFile(target, randomConfig(random));
    const bool written =
        WriteIniString(QStringLiteral("Output0"), QStringLiteral("Code A"), kZeroCode, target);
    SwitchConfig config = randomConfig(random);
    const SwitchConfig shown = config;
    const FileResult loaded = loadConfigFile(target, config);
    setMode(folder, 0755);
    setMode(folder + QStringLiteral("/config.ini"), 0644);

    QVERIFY(!saved.ok);
    QVERIFY2(!saved.reason.isEmpty(), "a failed save gives a reason");
    QVERIFY(!written);
    QCOMPARE(loaded.ok, !loadFails);
    if (loadFails) {
        QVERIFY(!loaded.reason.isEmpty());
        QCOMPARE(config, shown);
    }
    QCOMPARE(fileBytes(folder + QStringLiteral("/config.ini")), before);
    QCOMPARE(folderEntries(folder), entries);
}

void ConfigFileTest::fullDiskLeavesFileAsItWas()
{
    const QByteArray before = "; mine\n" + QByteArray(2000, ';') + "\n[Output0]\nCode A=111111111111\n";
    QVERIFY(putFileBytes(path, before));
    const QStringList entries = folderEntries(dir.path());
    const SwitchConfig config = randomConfig(random);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const FileResult saved = saveConfigFile(path, config);
        ::_exit(!saved.ok && !saved.reason.isEmpty() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the save fails with a reason");
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(folderEntries(dir.path()), entries);
}

void ConfigFileTest::writesThroughLinkKeepingModeAndOwner()
{
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    QVERIFY(putFileBytes(path, "[Other]\nk=v\n"));
    QVERIFY(QFile::link(QStringLiteral("config.ini"), link));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(::chmod(name.constData(), 0640) == 0);
    if (::geteuid() == 0) // only root can hand the file to someone else
        QVERIFY(::chown(name.constData(), 4321, 4321) == 0);
    struct stat before {};
    QVERIFY(::stat(name.constData(), &before) == 0);

    const SwitchConfig config = randomConfig(random);
    QVERIFY(saveConfigFile(link, config).ok);
    struct stat after {};
    QVERIFY(::stat(name.constData(), &after) == 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(fileBytes(path), "[Other]\nk=v\n" + layoutOf(config, "\n"));
    QVERIFY(after.st_ino != before.st_ino); // replaced, not rewritten in place
    QCOMPARE(after.st_mode & 07777, mode_t(0640));
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QFile::remove(link);
}

QTEST_GUILESS_MAIN(ConfigFileTest)
#include "ConfigFileTest.moc"
