// SPDX-License-Identifier: GPL-3.0-or-later
// The window's language as the environment chooses it. Qt reads the environment once, as the
// process starts, so each case runs this program again as a child that prints a caption.
#include "app/Translations.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <tuple>

using namespace veldo;

namespace {
const char *const kChildVariable = "VELDO_PRINT_CAPTION";
} // namespace

// LANGUAGE (unset when empty); LANG; the caption the window shows.
using Environment = std::tuple<QString, QString, QString>;

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheEnvironment_data()
    {
        QTest::addColumn<Environment>("environmentCase");
        QTest::newRow("English first") << Environment{"en_GB:de", "de_DE.UTF-8", "Clear All"};
        QTest::newRow("German after an unshipped one") << Environment{"fr:de", "fr_FR.UTF-8", "Alles löschen"};
        QTest::newRow("LANG alone") << Environment{"", "de_DE.UTF-8", "Alles löschen"};
        QTest::newRow("nothing shipped") << Environment{"fr", "fr_FR.UTF-8", "Clear All"};
    }

    void followsTheEnvironment()
    {
        QFETCH(Environment, environmentCase);
        const auto &[language, lang, caption] = environmentCase;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
            environment.remove(QString::fromLatin1(name));
        if (!language.isEmpty())
            environment.insert(QStringLiteral("LANGUAGE"), language);
        environment.insert(QStringLiteral("LANG"), lang);
        environment.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), caption);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildVariable)) {
        installTranslations();
        std::fputs(QCoreApplication::translate("veldo::frmVeldo", "Clear All").toUtf8().constData(), stdout);
        return 0;
    }
    LanguageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "LanguageTest.moc"
