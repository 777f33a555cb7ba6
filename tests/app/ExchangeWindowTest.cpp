// SPDX-License-Identifier: GPL-3.0-or-later
// Download and Upload end to end: the window, real timer ticks, a pseudo-terminal and the
// simulated box in the same event loop.
#include "WindowHarness.h"

#include "BoxSimulator.h"
#include "ports/CommPort.h"
#include "protocol/ExchangeRunner.h"
#include "support/Configs.h"
#include "support/FileFixture.h"

#include <QAccessible>
#include <QSignalSpy>

#include <tuple>

using namespace veldo;

namespace {

const QString kTimeOut = QStringLiteral("Error: Communication time-out");
const QString kUploadOk = QStringLiteral("Success: Upload OK");

// A window whose Com1 is the simulated box.
struct BoxedWindow : WindowHarness {
    explicit BoxedWindow(const BoxOptions &options)
        : box(options)
    {
        if (!box.linkAsPort(1, portsFolder()).ok)
            qFatal("cannot link the box");
        open();
    }

    // Clicks a button and waits until the exchange it started has ended; records the
    // status line at every tick.
    void run(const QString &buttonName)
    {
        auto *runner = child<ExchangeRunner>(QStringLiteral("ExchangeRunner"));
        QMetaObject::Connection c = QObject::connect(runner, &ExchangeRunner::ticked, [this] {
            statusAtTicks << label("LblMsg")->isVisible();
        });
        QTest::mouseClick(button(qPrintable(buttonName)), Qt::LeftButton);
        statusAfterClick = label("LblMsg")->isVisible() || !label("LblCopyRight")->isVisible();
        buttonsAfterClick = button("Download")->isEnabled() || button("Upload")->isEnabled();
        QTRY_VERIFY_WITH_TIMEOUT(!runner->isRunning(), 4000);
        QObject::disconnect(c);
    }

    BoxSimulator box;
    QList<bool> statusAtTicks;
    bool statusAfterClick = true;
    bool buttonsAfterClick = true;
};

SwitchConfig editedConfig()
{
    return test::patternedConfig(QStringLiteral("0123456789A"), QStringLiteral("FEDCBA98765"), 1);
}

} // namespace

// Upload or Download; the box's options; the message shown (empty: a download that shows the
// box's configuration); the ticks, the time-out's exactly, others at the least, as a loaded
// machine may delay the box.
using Exchange = std::tuple<bool, BoxOptions, QString, int>;

class ExchangeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void exchange_data()
    {
        QTest::addColumn<Exchange>("exchangeCase");
        // The verdicts themselves are the core's; these rows show what the window makes of each.
        QTest::newRow("upload acknowledged at the first tick") << Exchange{true, BoxOptions{}, kUploadOk, 1};
        QTest::newRow("upload unanswered") << Exchange{true, BoxOptions{.silent = true}, kTimeOut, 5};
        // Half the image before the first tick, the rest before the second.
        QTest::newRow("download spread over ticks") << Exchange{false, BoxOptions{.chunkSize = 100, .chunkPauseMs = 750}, "", 2};
    }

    void exchange()
    {
        QFETCH(Exchange, exchangeCase);
        const auto &[upload, options, message, ticks] = exchangeCase;
        BoxedWindow h(options);
        const SwitchConfig shown = editedConfig();
        h.window->showConfiguration(shown);
        std::optional<SwitchConfig> received;
        connect(&h.box, &BoxSimulator::configReceived, this, [&](const SwitchConfig &c) { received = c; });

        h.run(upload ? QStringLiteral("Upload") : QStringLiteral("Download"));

        QVERIFY2(!h.statusAfterClick, "the click itself must not change the status line");
        QVERIFY2(!h.buttonsAfterClick, "both exchange buttons are disabled while waiting");
        QVERIFY2(message == kTimeOut ? h.statusAtTicks.size() == ticks : h.statusAtTicks.size() >= ticks && h.statusAtTicks.size() < 5,
                 qPrintable(QString::number(h.statusAtTicks.size())));
        for (qsizetype t = 0; t + 1 < h.statusAtTicks.size(); ++t)
            QCOMPARE(h.statusAtTicks[t], t % 2 == 0); // blinks: shown, hidden, shown, hidden
        QVERIFY(h.button("Download")->isEnabled() && h.button("Upload")->isEnabled());
        QVERIFY(h.label("LblCopyRight")->isVisible() && !h.label("LblMsg")->isVisible());
        QCOMPARE(h.messages.size(), std::size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) {
            QCOMPARE(h.messages[0].text, message);
            QVERIFY2(h.messages[0].exchangeButtonsEnabled && !h.messages[0].statusShown,
                     "the exchange has ended before its message shows");
        }
        if (upload && message == kUploadOk)
            QCOMPARE(received, shown);
        QCOMPARE(h.window->configuration(), message.isEmpty() ? h.box.config() : shown);
    }

    // Space pressed again while the box answers, and after: never Clear All. The waiting text is
    // announced once, a Download's success too (an Upload's shows in a message box).
    void keyboardExchangeKeepsFocusAndIsHeard_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("announcements");
        QTest::newRow("Download") << "Download" << QStringList{"Download: Wait for answer", "Download complete"};
        QTest::newRow("Upload") << "Upload" << QStringList{"Upload: Wait for acknowledge"};
    }

    void keyboardExchangeKeepsFocusAndIsHeard()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, announcements);
        BoxedWindow h({.chunkSize = 100, .chunkPauseMs = 750}); // a download takes two ticks
        h.window->showConfiguration(editedConfig());
        const SwitchConfig shown = h.window->configuration();
        h.button(qPrintable(button))->setFocus();
        auto *announcer = h.child(QStringLiteral("Announcer"));
        QSignalSpy announced(announcer, SIGNAL(announced(QString)));
        h.press(Qt::Key_Space, Qt::NoModifier);
        auto *runner = h.child<ExchangeRunner>(QStringLiteral("ExchangeRunner"));
        QVERIFY(runner->isRunning());
        QTest::qWait(250); // before the first tick, which may end an upload
        h.press(Qt::Key_Space, Qt::NoModifier);
        QCOMPARE(h.window->configuration(), shown);
        QTRY_VERIFY_WITH_TIMEOUT(!runner->isRunning(), 4000);
        QCOMPARE(h.focusName(), button);
        QStringList texts;
        for (const QList<QVariant> &signal : announced)
            texts << signal.at(0).toString();
        QCOMPARE(texts, announcements);
        QAccessibleInterface *notification = QAccessible::queryAccessibleInterface(announcer);
        QCOMPARE(notification->role(), QAccessible::Notification);
        QCOMPARE(notification->text(QAccessible::Name), announcements.last());
        h.press(Qt::Key_Space, Qt::NoModifier);
        QVERIFY2(runner->isRunning(), "Space after the exchange repeats it");
    }

    // The download itself went well: no message box, the status line says it until the next exchange.
    void downloadNotKeptShowsOnTheStatusLine()
    {
        BoxedWindow h(BoxOptions{});
        QVERIFY(test::putFileBytes(h.dir.filePath(QStringLiteral("data")), "not a folder"));
        auto *announcer = h.child(QStringLiteral("Announcer"));
        QSignalSpy announced(announcer, SIGNAL(announced(QString)));
        h.run(QStringLiteral("Download"));
        QCOMPARE(h.window->configuration(), h.box.config());
        QVERIFY(h.messages.empty());
        QVERIFY(h.label("LblMsg")->isVisible() && !h.label("LblCopyRight")->isVisible());
        QCOMPARE(h.label("LblMsg")->text(), QStringLiteral("Download not kept: Not a directory"));
        QCOMPARE(h.label("LblMsg")->toolTip(), QStringLiteral("The configuration read from the box could not be kept in %1/data/veldo/downloads: Not a directory")
                                                   .arg(h.dir.path()));
        QCOMPARE(announced.size(), 3); // the waiting text, this, then that the download is complete
        QCOMPARE(announced.at(1).at(0).toString(), QStringLiteral("Download not kept: Not a directory"));

        h.run(QStringLiteral("Upload"));
        QVERIFY(h.label("LblCopyRight")->isVisible() && !h.label("LblMsg")->isVisible());
    }

    void closingAbandonsTheExchange()
    {
        BoxedWindow h({.silent = true});
        QTest::mouseClick(h.button("Download"), Qt::LeftButton);
        QTest::qWait(600);
        QVERIFY(h.label("LblMsg")->isVisible());

        QVERIFY(h.window->close());
        QTest::qWait(600);
        QVERIFY(h.messages.empty());
        CommPort other(PortMap(h.portsFolder(), {}));
        QVERIFY2(other.setPortOpen(true), "closing the window must close its port");
    }

    void undoReachesBackOverClearOpenAndDownload()
    {
        BoxedWindow h(BoxOptions{});
        const QString opened = h.dir.filePath(QStringLiteral("opened.ini"));
        const QString saved = h.dir.filePath(QStringLiteral("saved.ini"));
        QVERIFY(saveConfigFile(opened, editedConfig()).ok());
        QList<SwitchConfig> steps = {h.window->configuration()};
        h.answers = {opened, saved};
        const std::function<void()> actions[] = {
            [&] { QTest::keyClick(h.typeInto(0, QStringLiteral("ab")), Qt::Key_Tab); },
            [&] { QTest::mouseClick(h.type(4 * 2), Qt::LeftButton, {}, QPoint(5, 8)); }, // output 2 Slave
            [&] { QTest::mouseClick(h.button("Clear"), Qt::LeftButton); },
            [&] { h.press(Qt::Key_O); },
            [&] { h.run(QStringLiteral("Download")); },
        };
        for (const auto &action : actions) {
            action();
            steps << h.window->configuration();
        }
        QCOMPARE(steps[1].code(0), QStringLiteral("AB0000000000"));
        QCOMPARE(steps[2].outputs[2].type, OutputType::Slave);
        QCOMPARE(steps.mid(3), (QList<SwitchConfig>{SwitchConfig{}, editedConfig(), h.box.config()}));

        for (qsizetype k = steps.size() - 2; k >= -1; --k) { // one Ctrl+Z more than there are steps
            h.press(Qt::Key_Z);
            QCOMPARE(h.window->configuration(), steps[std::max<qsizetype>(k, 0)]);
        }
        h.press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        h.press(Qt::Key_Y);
        QCOMPARE(h.window->configuration(), steps[2]);

        // Typing in a field is undone there first; then Ctrl+Z goes on to the window's steps.
        h.typeInto(5, QStringLiteral("1"));
        h.press(Qt::Key_Z);
        QCOMPARE(h.window->configuration(), steps[2]);
        h.press(Qt::Key_Z);
        QCOMPARE(h.window->configuration(), steps[1]);

        // Ctrl+S saves with the field in edit normalised.
        h.typeInto(6, QStringLiteral("c"));
        h.press(Qt::Key_S);
        QCOMPARE(h.code(6)->text(), QStringLiteral("0C0000000000"));
        QCOMPARE(test::loadedConfig(saved), h.window->configuration());
        QVERIFY(h.messages.empty());
    }
};

QTEST_MAIN(ExchangeWindowTest)
#include "ExchangeWindowTest.moc"
