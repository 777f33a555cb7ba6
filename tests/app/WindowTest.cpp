// The window as a person uses it: start-up state, keyboard focus, normalisation of the code
// fields, the type groups and the window icon.
#include "WindowHarness.h"

#include "PseudoTerminal.h"
#include "app/ApplicationIdentity.h"
#include "config/SwitchConfig.h"
#include "link/LockFile.h"
#include "link/PortProbe.h"
#include "support/DeviceHolder.h"
#include "support/PtyPorts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QMimeData>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace veldo;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsInItsInitialState();
    void clickWithoutPortSaysWhy_data();
    void clickWithoutPortSaysWhy();
    void terminatedToolLeavesPortClean();
    void commandLineWithoutDisplay_data();
    void commandLineWithoutDisplay();
    void tabVisitsControlsInOrder();
    void normalizesWhenFocusLeaves_data();
    void normalizesWhenFocusLeaves();
    void textDroppedIntoAFieldIsNormalisedAtOnce();
    void typeButtonsFormOneGroupPerOutput();
    void carriesTheApplicationIcon();
};

void WindowTest::startsInItsInitialState()
{
    WindowHarness h;
    frmVeldo &w = h.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Veldo ProgrammingTool"));
    QCOMPARE(w.size(), QSize(592, 308));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w.accessibleDescription().contains(QStringLiteral("Ctrl+Z")));
    for (int m = 0; m < kCodeCount; ++m)
        QCOMPARE(h.code(m)->text(), kZeroCode);
    for (int j = 0; j < 4 * kOutputCount; ++j)
        QCOMPARE(h.type(j)->isChecked(), j % 4 == int(OutputType::Toggle));
    QCOMPARE(h.label("Label1_10")->text(), QStringLiteral("Output A:"));
    QCOMPARE(h.type(63)->text(), QStringLiteral("Toggle"));
    QCOMPARE(h.type(60)->text(), QStringLiteral("Slave"));
    QCOMPARE(h.code(31)->accessibleName(), QStringLiteral("Output F, Code B"));
    QCOMPARE(h.type(42)->accessibleName(), QStringLiteral("Output A, Pulse"));
    QVERIFY(h.label("LblCopyRight")->isVisible());
    QVERIFY(!h.label("LblMsg")->isVisible());
    QVERIFY(h.label("LblMsg")->text().isEmpty());
    QVERIFY(h.button("Download")->isEnabled() && h.button("Upload")->isEnabled());
    QVERIFY(!h.child<ExchangeRunner>(QStringLiteral("ExchangeRunner"))->isRunning());
}

void WindowTest::clickWithoutPortSaysWhy_data()
{
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("why");
    QTest::newRow("no adapter") << false << "No serial adapter was found. Looked for: ";
    QTest::newRow("the only port held by another program") << true << "): in use by sleep (PID ";
}

// Download and Upload with no port open say why, and start nothing.
void WindowTest::clickWithoutPortSaysWhy()
{
    QFETCH(bool, held);
    QFETCH(QString, why);
    WindowHarness h;
    PseudoTerminal pty;
    std::optional<test::DeviceHolder> holder;
    if (held) {
        QVERIFY(QDir().mkpath(h.portsFolder()) && QFile::link(pty.slavePath(), h.portsFolder() + QStringLiteral("/com1")));
        holder.emplace(pty.slavePath());
    }
    h.open();
    const auto *ports = h.child<QComboBox>(QStringLiteral("ComboCommPort"));
    QCOMPARE(ports->count(), 0);
    for (const char *name : {"Download", "Upload"}) {
        QTest::mouseClick(h.button(name), Qt::LeftButton);
        QCOMPARE(h.messages.size(), 1u);
        const QString text = h.messages.back().text;
        QVERIFY2(text.startsWith(QStringLiteral("No serial port is open.\n")) && text.contains(why), qPrintable(text));
        QVERIFY(h.messages.back().exchangeButtonsEnabled && !h.messages.back().statusShown);
        QCOMPARE(ports->toolTip(), text);
        h.messages.clear();
    }
}

// Stopped by SIGTERM, the real program closes its port: no lock file, no exclusive mode.
void WindowTest::terminatedToolLeavesPortClean()
{
    PtyPorts ports({1});
    const QString device = ports.pty(1).slavePath();
    QProcess tool;
    tool.start(QStringLiteral(VELDO_EXECUTABLE), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(probePort(1, device).state, PortState::InUse, 10000);
    tool.terminate();
    QVERIFY(tool.waitForFinished(5000));
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int exclusive = 1;
    QVERIFY(fd >= 0 && ::ioctl(fd, TIOCGEXCL, &exclusive) == 0);
    ::close(fd);
    QCOMPARE(exclusive, 0);
    QVERIFY(!QFile::exists(lockFilePath(device)));
    QVERIFY(probePort(1, device).usable());
}

void WindowTest::commandLineWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says"); // on standard output, or on standard error for a usage error
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: veldo [options] [FILE]";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "Veldo 1.";
    QTest::newRow("unknown option") << QStringList{"--frob"} << 2 << "Unknown option 'frob'";
}

void WindowTest::commandLineWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, says);
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(VELDO_EXECUTABLE), arguments);
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitCode(), status);
    QVERIFY(QString::fromLocal8Bit(status == 0 ? tool.readAllStandardOutput() : tool.readAllStandardError()).contains(says));
}

void WindowTest::tabVisitsControlsInOrder()
{
    WindowHarness h;
    h.open();
    h.type(4 * 1 + int(OutputType::Master))->setChecked(true); // output 1 is Master

    QStringList expected = {"ComboCommPort", "Open", "Save", "Download", "Upload", "Clear"};
    for (int i = 0; i < kOutputCount; ++i) {
        const int slot = i == 1 ? int(OutputType::Master) : int(OutputType::Toggle);
        expected << QStringLiteral("Data1_%1").arg(i) << QStringLiteral("Data1_%1").arg(16 + i)
                 << QStringLiteral("Toggle_%1").arg(4 * i + slot);
    }
    h.child(QStringLiteral("ComboCommPort"))->setFocus(Qt::TabFocusReason);
    QStringList visited = {h.focusName()};
    for (qsizetype k = 1; k <= expected.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << h.focusName();
    }
    QCOMPARE(visited.mid(0, expected.size()), expected);
    QCOMPARE(visited.last(), expected.first()); // and round again

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(h.focusName(), expected.last());
}

void WindowTest::normalizesWhenFocusLeaves_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("leaveBy");
    QTest::newRow("Tab from Code A") << 0 << "tab";
    QTest::newRow("click on a type button") << 30 << "click type";
    // As after a message box: only the window's focus moves, and Save runs all the same.
    QTest::newRow("click on Save of the inactive window") << 4 << "click save, inactive";
}

void WindowTest::normalizesWhenFocusLeaves()
{
    QFETCH(int, field);
    QFETCH(QString, leaveBy);
    WindowHarness h;
    h.open();
    QLineEdit *edit = h.typeInto(field, QStringLiteral("ab c"));
    QCOMPARE(edit->text(), QStringLiteral("ab c"));

    QString seenBySave;
    h.answers.push_back(std::nullopt);
    if (leaveBy == "tab")
        QTest::keyClick(edit, Qt::Key_Tab);
    else if (leaveBy == "click type")
        QTest::mouseClick(h.type(5), Qt::LeftButton, {}, QPoint(5, 8));
    else {
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(edit->text(), QStringLiteral("ab c")); // kept as typed meanwhile
        FileDialog::setHandler([&](FileDialog::Mode, const QString &) {
            seenBySave = edit->text();
            return std::optional<QString>();
        });
        QTest::mouseClick(h.button("Save"), Qt::LeftButton);
        QCOMPARE(seenBySave, QStringLiteral("AB0C00000000"));
    }
    QCOMPARE(edit->text(), QStringLiteral("AB0C00000000"));
    QVERIFY2(QApplication::focusWidget() != edit, "the focus should have moved on");
}

void WindowTest::textDroppedIntoAFieldIsNormalisedAtOnce()
{
    WindowHarness h;
    h.open();
    h.code(3)->setText(QStringLiteral("12"));
    h.button("Save")->setFocus(); // a drop leaves the focus there, so Save would read the field as it is
    QMimeData mime;
    mime.setText(QStringLiteral("zz"));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(h.code(3), &enter);
    QApplication::sendEvent(h.code(3), &drop);
    QCOMPARE(h.code(3)->text(), QStringLiteral("001200000000"));
}

void WindowTest::typeButtonsFormOneGroupPerOutput()
{
    WindowHarness h;
    h.open();
    QTest::mouseClick(h.type(4 * 3 + 2), Qt::LeftButton, {}, QPoint(5, 8)); // output 3 Pulse
    QTest::mouseClick(h.type(4 * 3 + 1), Qt::LeftButton, {}, QPoint(5, 8)); // then Master
    for (int j = 0; j < 4 * kOutputCount; ++j) {
        const bool expected = j / 4 == 3 ? j == 4 * 3 + 1 : j % 4 == int(OutputType::Toggle);
        QVERIFY2(h.type(j)->isChecked() == expected, qPrintable(QStringLiteral("Toggle_%1").arg(j)));
    }
}

void WindowTest::carriesTheApplicationIcon()
{
    applyApplicationIdentity();
    WindowHarness h;
    const QList<QSize> sizes = h.open().windowIcon().availableSizes();
    for (int size : {16, 32})
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QStringLiteral("no %1 px icon").arg(size)));
}

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
