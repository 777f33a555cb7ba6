// Open and Save from the window, with the file dialog answered by the test.
#include "WindowHarness.h"

#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QRandomGenerator>
#include <QTimer>

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
    void failuresAreReportedAndChangeNothing_data();
    void failuresAreReportedAndChangeNothing();
    void openOfOtherBytesShowsTheEmptyConfiguration_data();
    void openOfOtherBytesShowsTheEmptyConfiguration();
    void allFilesListsNamesWithoutADot();
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

    // A file named on the command line opens as with Open, and Save proposes it.
    QTest::mouseClick(h.button("Clear"), Qt::LeftButton);
    w.openConfigFile(file);
    QCOMPARE(w.configuration(), sample());
    QTest::mouseClick(h.button("Save"), Qt::LeftButton);
    QCOMPARE(h.dialogs.back(), std::make_pair(Mode::Save, file));
}

// Which faults fail is the core's to prove; the window says so, naming the file.
void FileWindowTest::failuresAreReportedAndChangeNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("file"); // in the test's folder
    QTest::newRow("save into a missing folder") << "Save" << "gone/c.ini";
    QTest::newRow("open a folder") << "Open" << ".";
}

void FileWindowTest::failuresAreReportedAndChangeNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, file);
    WindowHarness h;
    frmVeldo &w = h.open();
    file = h.dir.filePath(file);
    w.showConfiguration(sample());

    h.answers = {file};
    QTest::mouseClick(h.button(qPrintable(button)), Qt::LeftButton);

    QCOMPARE(h.messages.size(), std::size_t(1));
    QVERIFY2(h.messages[0].text.contains(QDir::cleanPath(file)), qPrintable(h.messages[0].text));
    QVERIFY(!QFile::exists(h.dir.filePath(QStringLiteral("gone"))));
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

// Through the real dialog: only it applies the filters.
void FileWindowTest::allFilesListsNamesWithoutADot()
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QTemporaryDir dir;
    for (const char *name : {"a.ini", "config"})
        QVERIFY(QFile(dir.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly));
    QStringList listed; // per filter, the names the dialog lists
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        const auto names = [view] {
            QStringList names;
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
            return names.join(u',');
        };
        dialog->setDirectory(dir.path());
        for (const QString &filter : {dialog->nameFilters().constLast(), dialog->nameFilters().constFirst()}) {
            dialog->selectNameFilter(filter);
            (void)QTest::qWaitFor([&] { return names().contains(QStringLiteral("config")) == filter.startsWith(u'A'); }, 2000);
            listed << filter + u':' + names();
        }
        dialog->reject();
    });
    QCOMPARE(FileDialog().showOpen(nullptr), std::nullopt);
    QCOMPARE(listed, (QStringList{QStringLiteral("All files (*):a.ini,config"), QStringLiteral("Config Files (*.ini):a.ini")}));
}

QTEST_MAIN(FileWindowTest)
#include "FileWindowTest.moc"
