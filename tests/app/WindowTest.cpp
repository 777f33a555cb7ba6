// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a person uses it: start-up state, keyboard focus, normalisation of the code
// fields, the ports in the list and every shipped language.
#include "WindowHarness.h"

#include "PseudoTerminal.h"
#include "app/Translations.h"
#include "config/SwitchConfig.h"
#include "files/FileReason.h"
#include "ports/LockFile.h"
#include "ports/PortProbe.h"
#include "system/ProcessTable.h"
#include "support/DeviceHolder.h"
#include "support/PtyPorts.h"
#include "support/Ser2net.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QMessageBox>
#include <QStyle>
#include <QThread>
#include <QTranslator>
#include <QXmlStreamReader>

#include <atomic>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace veldo;

namespace {

// The captions of the window's controls by name, each with the width its control gives it where
// it shows: a frame cuts off what reaches beyond it, an indicator or a margin takes its share.
QMap<QString, std::pair<QString, int>> captions(const QWidget *window)
{
    QMap<QString, std::pair<QString, int>> found;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<const QLabel *>(w);
        const auto *button = qobject_cast<const QAbstractButton *>(w);
        const QString text = label ? label->text() : button ? button->text() : QString();
        if (text.isEmpty())
            continue;
        int room = QRect(w->pos(), w->size()).intersected(w->parentWidget()->rect()).width();
        if (qobject_cast<const QRadioButton *>(w))
            room -= w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w)
                  + w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
        else if (button)
            room -= 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
        found[w->objectName()] = {text, room};
    }
    return found;
}

// Counts the looks through every process, on the window's thread and elsewhere, while it lives.
class ProcessWalks {
public:
    ProcessWalks()
    {
        onWindowThread = elsewhere = 0;
        observeProcessWalks(&count);
    }
    ~ProcessWalks() { observeProcessWalks(nullptr); }
    // Some looks were made, and none of them on the window's thread.
    static bool allOffTheWindowThread() { return onWindowThread == 0 && elsewhere > 0; }

private:
    static void count() { ++(QThread::currentThread() == qApp->thread() ? onWindowThread : elsewhere); }
    static inline std::atomic<int> onWindowThread = 0;
    static inline std::atomic<int> elsewhere = 0;
};

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsInItsInitialState()
    {
        WindowHarness h;
        frmVeldo &w = h.open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Veldo ProgrammingTool"));
        QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(&w);
        QVERIFY2(frame->role() == QAccessible::Window && frame->text(QAccessible::Name) == w.windowTitle(),
                 "screen readers see the window as a frame named by its title");
        for (int m = 0; m < 32; ++m)
            QCOMPARE(h.code(m)->text(), QStringLiteral("000000000000"));
        for (int j = 0; j < 4 * 16; ++j)
            QCOMPARE(h.type(j)->isChecked(), j % 4 == int(OutputType::Toggle));
        QCOMPARE(h.label("Label1_10")->text(), QStringLiteral("Output A:"));
        QCOMPARE(h.type(63)->text(), QStringLiteral("Toggle"));
        QCOMPARE(h.type(60)->text(), QStringLiteral("Slave"));
        QCOMPARE(h.code(31)->accessibleName(), QStringLiteral("Output F, Code B"));
        QCOMPARE(h.type(42)->accessibleName(), QStringLiteral("Output A, Pulse"));
        QVERIFY(h.label("LblCopyRight")->isVisible() && !h.label("LblMsg")->isVisible());
        QVERIFY(h.button("Download")->isEnabled() && h.button("Upload")->isEnabled());
    }

    // Download and Upload with no port open say why, and start nothing. With sixteen numbers
    // linked to unplugged adapters, one of them to a held port, the box as the user sees it
    // stays within 800x600, the size of the test's screen.
    void clickWithoutPortSaysWhy()
    {
        WindowHarness h;
        PseudoTerminal pty;
        test::DeviceHolder holder(pty.slavePath());
        QVERIFY(QDir().mkpath(h.portsFolder()));
        for (int n = 1; n <= 16; ++n) {
            const QString target = n == 2 ? pty.slavePath() : QStringLiteral("/dev/serial/by-id/usb-Maker_Adapter_%1-if00-port0").arg(n);
            QVERIFY(QFile::link(target, h.portsFolder() + QStringLiteral("/com%1").arg(n)));
        }
        h.open();
        const auto *ports = h.child<QComboBox>(QStringLiteral("ComboCommPort"));
        QCOMPARE(ports->count(), 0);
        const ProcessWalks walks;
        for (const char *name : {"Download", "Upload"}) {
            h.messages.clear();
            QTest::mouseClick(h.button(name), Qt::LeftButton);
            QTRY_COMPARE(h.messages.size(), 1u);
            const QString text = h.messages[0].text;
            QVERIFY2(text.startsWith(QStringLiteral("No serial port is open.\n")) && text.contains(QStringLiteral(
                         "\n\nCom1, Com3\u2013Com16: the linked adapters are not plugged in\nCom2: in use by sleep (PID ")),
                     qPrintable(text));
            QVERIFY(h.messages[0].exchangeButtonsEnabled && !h.messages[0].statusShown);
        }
        QVERIFY(ProcessWalks::allOffTheWindowThread());
        QVERIFY(ports->toolTip().contains(QStringLiteral("\nCom2: in use by sleep (PID ")));
        const std::unique_ptr<QMessageBox> box = MessageBox::build(h.window.get(), h.messages[0].text);
        box->show();
        const QSize shown = box->frameGeometry().size();
        QVERIFY2(shown.width() <= 800 && shown.height() <= 600, qPrintable(QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height())));
    }

    void terminatedToolLeavesPortClean_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("in its event loop") << QStringList();
        QTest::newRow("before it, at the message about the file given") << QStringList{QStringLiteral("/")};
    }

    // A port linked while the window runs is opened without the list being opened; one chosen in
    // the list is opened in its place; its device gone, it is closed and the status line says so,
    // without a box.
    void portsThatComeAndGo()
    {
        WindowHarness h;
        QVERIFY(QDir().mkpath(h.portsFolder()));
        h.open();
        auto *ports = h.child<QComboBox>(QStringLiteral("ComboCommPort"));
        QCOMPARE(ports->count(), 0);
        PseudoTerminal first, chosen;
        QVERIFY(QFile::link(first.slavePath(), h.portsFolder() + QStringLiteral("/com2")));
        QTRY_COMPARE(ports->currentText(), QStringLiteral("Com2:"));
        QVERIFY(QFile::link(chosen.slavePath(), h.portsFolder() + QStringLiteral("/com5")));
        QTRY_COMPARE(ports->count(), 2);
        ports->setFocus();
        {
            const ProcessWalks walks;
            QTest::keyClick(ports, Qt::Key_Down);
            QCOMPARE(ports->currentText(), QStringLiteral("Com5:"));
            const auto *box = h.child<BoxSession>(QStringLiteral("BoxSession"));
            QTRY_VERIFY(box->isOpen() && box->portNumber() == 5);
            QVERIFY(ProcessWalks::allOffTheWindowThread());
        }
        QVERIFY(probePort(2, first.slavePath()).usable());
        chosen.close();
        QTRY_COMPARE(h.label("LblMsg")->text(), QStringLiteral("Com5 is closed: its device has gone"));
        QVERIFY(h.label("LblMsg")->isVisible() && !h.label("LblCopyRight")->isVisible());
        QCOMPARE(ports->count(), 1);
        QVERIFY(h.messages.empty());
    }

    // Two ports on this machine's loopback where nothing listens: the list says where each is, the
    // status line that the chosen one connects, then why it could not; a click meanwhile waits,
    // then says why in a box.
    void remotePortUnreachable()
    {
        WindowHarness h;
        QVERIFY(QDir().mkpath(h.portsFolder()));
        QStringList where;
        for (int n : {3, 4}) {
            where << QStringLiteral("127.0.0.1:%1").arg(test::freeLoopbackPort());
            QVERIFY(QFile::link(QStringLiteral("rfc2217://") + where.last(), h.portsFolder() + QStringLiteral("/com%1").arg(n)));
        }
        const QString refused = QStringLiteral(" refused the connection: nothing serves that port there");
        h.open();
        auto *ports = h.child<QComboBox>(QStringLiteral("ComboCommPort"));
        QCOMPARE(ports->itemData(1, Qt::ToolTipRole).toString(), "A port on " + where[1] + ", reached over the network");
        QTRY_COMPARE(h.label("LblMsg")->text(), where[0] + refused); // Com3, opened at start
        QString connecting;
        bool buttonsWhileConnecting = true;
        connect(h.child<BoxSession>(QStringLiteral("BoxSession")), &BoxSession::chosen, this, [&] {
            connecting = h.label("LblMsg")->text();
            QTest::mouseClick(h.button("Download"), Qt::LeftButton);
            buttonsWhileConnecting = h.button("Download")->isEnabled() || h.button("Upload")->isEnabled();
        });
        ports->setFocus();
        QTest::keyClick(ports, Qt::Key_Down);
        QTRY_COMPARE(h.messages.size(), 1u);
        QCOMPARE(connecting, "Connecting to " + where[1] + "\u2026");
        QVERIFY(!buttonsWhileConnecting && h.messages[0].exchangeButtonsEnabled && h.messages[0].statusShown);
        QVERIFY2(h.messages[0].text.startsWith(where[1] + refused + "\n\nNo serial port is open."), qPrintable(h.messages[0].text));
        QCOMPARE(h.label("LblMsg")->text(), where[1] + refused);
    }

    // Stopped by SIGTERM, the real program closes its port: no lock file, no exclusive mode.
    void terminatedToolLeavesPortClean()
    {
        QFETCH(QStringList, arguments);
        PtyPorts ports({1});
        const QString device = ports.pty(1).slavePath();
        QProcess tool;
        tool.start(QStringLiteral(VELDO_EXECUTABLE), arguments);
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

    // Parsed before the toolkit needs a display, as over a remote shell.
    void usageErrorWithoutDisplay()
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(VELDO_EXECUTABLE), {QStringLiteral("--frob")});
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(tool.readAllStandardError()).contains(QStringLiteral("Unknown option 'frob'")));
    }

    void tabVisitsControlsInOrder()
    {
        WindowHarness h;
        h.open();
        h.type(4 * 1 + int(OutputType::Master))->setChecked(true); // output 1 is Master

        QStringList expected = {"ComboCommPort", "Open", "Save", "Download", "Upload", "Clear"};
        for (int i = 0; i < 16; ++i) {
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

    // As after a message box: only the window's focus moves, and Save runs all the same with
    // the field in edit normalised.
    void normalizesWhenSaveOfInactiveWindowIsClicked()
    {
        WindowHarness h;
        h.open();
        QLineEdit *edit = h.typeInto(4, QStringLiteral("ab c"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(edit->text(), QStringLiteral("ab c")); // kept as typed meanwhile
        QString seenBySave;
        FileDialog::setHandler([&](FileDialog::Mode, const QString &) {
            seenBySave = edit->text();
            return std::optional<QString>();
        });
        QTest::mouseClick(h.button("Save"), Qt::LeftButton);
        QCOMPARE(seenBySave, QStringLiteral("AB0C00000000"));
        QCOMPARE(edit->text(), QStringLiteral("AB0C00000000"));
        QVERIFY2(QApplication::focusWidget() != edit, "the focus should have moved on");
    }

    void everyLanguageFits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("en") << "en";
        for (const QString &language : shippedLanguages())
            QTest::newRow(qPrintable(language)) << language;
    }

    // Every caption fits its control, and is translated; so is every way a file can fail,
    // whatever the system said.
    void everyLanguageFits()
    {
        QFETCH(QString, language);
        QList<FileResult> failures;
        for (int kind = int(FileError::NoFileName); kind < int(FileError::System); ++kind)
            failures << FileResult{.kind = FileError(kind), .size = 17 << 20, .name = QStringLiteral("x.ini")};
        for (int error = 1; error < 134; ++error)
            failures << failureOf(error);
        failures << FileResult{.kind = FileError::DiskFull, .error = ENOSPC, .damaged = true};
        QStringList englishReasons, reasons;
        for (const FileResult &failure : failures)
            englishReasons << fileReason(failure);
        WindowHarness english;
        const auto source = captions(&english.open());
        installTranslations(QLocale(language));
        for (const FileResult &failure : failures)
            reasons << fileReason(failure);
        WindowHarness h;
        h.open();
        QTest::mouseClick(h.button("Download"), Qt::LeftButton); // no port: the message says why
        QTRY_VERIFY(!h.messages.empty());
        const auto shown = captions(h.window.get());
        for (QTranslator *t : qApp->findChildren<QTranslator *>())
            QCoreApplication::removeTranslator(t), delete t;

        for (auto [name, caption] : shown.asKeyValueRange()) {
            const int width = h.child(name)->fontMetrics().horizontalAdvance(caption.first);
            QVERIFY2(width <= caption.second, qPrintable(QStringLiteral("%1 \"%2\": %3 px in %4 px")
                                                             .arg(name, caption.first).arg(width).arg(caption.second)));
            if (language != QStringLiteral("en"))
                QVERIFY2(caption.first != source[name].first, qPrintable(name + QStringLiteral(" left in English")));
        }
        if (language == QStringLiteral("en"))
            return;
        QVERIFY(!h.messages.empty() && !h.messages[0].text.startsWith(QStringLiteral("No serial port")));
        for (qsizetype i = 0; i < failures.size(); ++i)
            QVERIFY2(!reasons[i].contains(englishReasons[i]), qPrintable(englishReasons[i] + QStringLiteral(" left in English")));
        // Texts the window shows only in an exchange are checked in the translation file itself.
        QFile ts(QStringLiteral(VELDO_SOURCE_DIR "/app/translations/veldo_%1.ts").arg(language));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        for (QXmlStreamReader xml(&ts); !xml.atEnd();) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("translation"))
                QVERIFY2(xml.attributes().value(QLatin1String("type")).isEmpty() && !xml.readElementText().isEmpty(),
                         "a text of the translation file is not translated");
        }
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
