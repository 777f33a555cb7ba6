// Open and Save from the window, with the file dialog answered by the test.
#include "WindowHarness.h"

#include <QFile>
#include <QRandomGenerator>

using namespace veldo;

namespace {

SwitchConfig sample()
{
    SwitchConfig config;
    for (int i = 0; i < kOutputCount; ++i)
        config.outputs[std::size_t(i)] = {QStringLiteral("00000000000%1").arg(outputDigit(i)),
                                          QStringLiteral("ABCDEF01234%1").arg(outputDigit(i)),
                                          static_cast<OutputType>(i % kTypeCount)};
    return config;
}

SwitchConfig emptyFileConfig()
{
    SwitchConfig config;
    for (OutputSetting &output : config.outputs)
        output.type = OutputType::Pulse;
    return config;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class FileWindowTest : public QObject {
    Q_OBJECT
private slots:
    void dialogsRememberTheChosenFile();
    void openLoadsWhatSaveWrote();
    void failuresAreReportedAndChangeNothing_data();
    void failuresAreReportedAndChangeNothing();
    void openOfOtherBytesShowsTheEmptyConfiguration_data();
    void openOfOtherBytesShowsTheEmptyConfiguration();
};

void FileWindowTest::dialogsRememberTheChosenFile()
{
    using Mode = FileDialog::Mode;
    WindowHarness h;
    frmVeldo &w = h.open();
    const QString file = h.dir.filePath(QStringLiteral("a.ini"));
    w.showConfiguration(sample());

    h.answers = {std::nullopt, file, std::nullopt, QString(), std::nullopt};
    QTest::mouseClick(h.button("Save"), Qt::LeftButton); // cancelled: nothing written
    QVERIFY(!QFile::exists(file));
    QTest::mouseClick(h.button("Save"), Qt::LeftButton); // a new name
    QVERIFY(QFile::exists(file));
    QTest::mouseClick(h.button("Save"), Qt::LeftButton); // proposes it, cancelled
    QTest::mouseClick(h.button("Open"), Qt::LeftButton); // starts empty, answered with no name
    QTest::mouseClick(h.button("Save"), Qt::LeftButton); // after that Open, nothing to propose

    const std::vector<std::pair<Mode, QString>> expected = {
        {Mode::Save, QString()}, {Mode::Save, QString()}, {Mode::Save, file}, {Mode::Open, QString()},
        {Mode::Save, QString()}};
    QCOMPARE(h.dialogs, expected);
    QCOMPARE(w.configuration(), sample());
    QVERIFY(h.messages.empty());
}

void FileWindowTest::openLoadsWhatSaveWrote()
{
    WindowHarness h;
    frmVeldo &w = h.open();
    const QString file = h.dir.filePath(QStringLiteral("b.ini"));
    w.showConfiguration(sample());
    h.answers = {file, file, h.dir.filePath(QStringLiteral("new.ini"))};
    QTest::mouseClick(h.button("Save"), Qt::LeftButton);
    QTest::mouseClick(h.button("Clear"), Qt::LeftButton);
    QTest::mouseClick(h.button("Open"), Qt::LeftButton);
    QCOMPARE(w.configuration(), sample());

    // A name that does not exist loads the empty configuration: zero codes, every output Pulse.
    QTest::mouseClick(h.button("Open"), Qt::LeftButton);
    QCOMPARE(w.configuration(), emptyFileConfig());
    QVERIFY(h.messages.empty());
}

void FileWindowTest::failuresAreReportedAndChangeNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fault");
    QTest::newRow("save into a read-only file") << "Save" << "read-only file";
    QTest::newRow("save into a missing folder") << "Save" << "missing folder";
    QTest::newRow("open an unreadable file") << "Open" << "unreadable file";
    QTest::newRow("open a folder") << "Open" << "folder";
}

void FileWindowTest::failuresAreReportedAndChangeNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, fault);
    WindowHarness h;
    frmVeldo &w = h.open();
    QString file = h.dir.filePath(QStringLiteral("c.ini"));
    QFile seed(file);
    QVERIFY(seed.open(QIODevice::WriteOnly));
    seed.write("[Output0]\nCode A=111111111111\n");
    seed.close();
    if (fault == "read-only file")
        QVERIFY(seed.setPermissions(QFile::ReadOwner | QFile::ReadGroup));
    else if (fault == "unreadable file")
        QVERIFY(seed.setPermissions({}));
    else if (fault == "missing folder")
        file = h.dir.filePath(QStringLiteral("gone/c.ini"));
    else if (fault == "folder")
        file = h.dir.path();
    const QByteArray before = contents(file);
    w.showConfiguration(sample());

    h.answers = {file};
    QTest::mouseClick(h.button(qPrintable(button)), Qt::LeftButton);

    QCOMPARE(h.messages.size(), std::size_t(1));
    QVERIFY2(h.messages[0].text.contains(file), qPrintable(h.messages[0].text));
    QCOMPARE(contents(file), before);
    QCOMPARE(w.configuration(), sample());
}

void FileWindowTest::openOfOtherBytesShowsTheEmptyConfiguration_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray binary(64 * 1024, '\0');
    QRandomGenerator random(5);
    for (char &byte : binary)
        byte = char(random.bounded(256));
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("binary file") << binary;
    QTest::newRow("10 MB on one line") << QByteArray("[Output0] Code A=0123456789AB ").repeated(350'000);
}

void FileWindowTest::openOfOtherBytesShowsTheEmptyConfiguration()
{
    QFETCH(QByteArray, bytes);
    WindowHarness h;
    frmVeldo &w = h.open();
    const QString file = h.dir.filePath(QStringLiteral("other.ini"));
    QFile other(file);
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write(bytes) == bytes.size());
    other.close();
    w.showConfiguration(sample());

    h.answers = {file};
    QBENCHMARK_ONCE { // the window waits this long
        QTest::mouseClick(h.button("Open"), Qt::LeftButton);
    }
    QCOMPARE(w.configuration(), emptyFileConfig());
    QVERIFY(h.messages.empty());
    QCOMPARE(contents(file), bytes);
}

QTEST_MAIN(FileWindowTest)
#include "FileWindowTest.moc"
