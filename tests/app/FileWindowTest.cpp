// SPDX-License-Identifier: GPL-3.0-or-later
// Open and Save from the window, with the file dialog answered by the test.
#include "WindowHarness.h"
#include "support/Configs.h"

#include <QAccessible>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

using namespace veldo;

namespace {

SwitchConfig sample()
{
    return test::patternedConfig(QStringLiteral("00000000000"), QStringLiteral("ABCDEF01234"));
}

} // namespace

class FileWindowTest : public QObject {
    Q_OBJECT
private slots:
    void dialogsRememberTheChosenFile()
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

    // Which faults fail is the core's to prove; the window says so, naming the file as it is,
    // markup and all.
    void failureIsReportedAndChangesNothing()
    {
        WindowHarness h;
        frmVeldo &w = h.open();
        const QString file = h.dir.filePath(QStringLiteral("gone/<b>c</b>.ini"));
        w.showConfiguration(sample());
        h.answers = {file, h.dir.path()}; // Open of a folder
        for (const char *button : {"Save", "Open"})
            QTest::mouseClick(h.button(button), Qt::LeftButton);
        QCOMPARE(h.messages.size(), std::size_t(2));
        QVERIFY2(h.messages[0].text.startsWith(QStringLiteral("Could not save to ") + file), qPrintable(h.messages[0].text));
        QVERIFY2(h.messages[1].text.startsWith(QStringLiteral("Could not open ") + h.dir.path()), qPrintable(h.messages[1].text));
        QCOMPARE(w.configuration(), sample());
        const std::unique_ptr<QMessageBox> box = MessageBox::build(&w, h.messages[0].text);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), h.messages[0].text);
    }

    // Through the real dialog: only it applies the filters.
    void allFilesListsNamesWithoutADot()
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
};

QTEST_MAIN(FileWindowTest)
#include "FileWindowTest.moc"
