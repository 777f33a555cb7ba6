// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplicationIdentity.h"
#include "app/Style.h"
#include "app/Translations.h"
#include "app/frmVeldo.h"
#include "system/TerminationSignals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

namespace {

constexpr int kUsageError = 2;

struct StartArguments {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();

    StartArguments()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Programs a remote-controlled switch box with sixteen outputs over a serial port.\n"
            "Without FILE the window starts with all codes zero; the command line tool is veldo-cli."));
        parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A configuration file to open at start."),
                                     QStringLiteral("[FILE]"));
    }

    // --help or --version answered: 0; a usage error: 2; else nothing, and the window starts.
    std::optional<int> answer(const QStringList &arguments, bool final)
    {
        const bool parsed = parser.parse(arguments);
        QTextStream out(stdout);
        if (parsed && parser.isSet(help)) {
            // Without an application object the parser cannot know the program's name.
            out << parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("veldo")) << Qt::flush;
            return 0;
        }
        if (parsed && parser.isSet(version)) {
            out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << Qt::endl;
            return 0;
        }
        if (final && (!parsed || parser.positionalArguments().size() > 1)) {
            QTextStream(stderr) << "veldo: " << (parsed ? QStringLiteral("Too many arguments") : parser.errorText())
                                << "\nUsage: veldo [--help] [--version] [FILE]" << Qt::endl;
            return kUsageError;
        }
        return std::nullopt;
    }
};

// Whether the toolkit may find a display to connect to; without one it aborts the program.
bool displayAvailable(const QStringList &arguments)
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || arguments.contains(QStringLiteral("-platform"));
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any file, port or message box: a signal from here on closes the port.
    veldo::catchTerminationSignals();
    veldo::nameApplication();
    StartArguments start;
    // --help and --version before there is a display to connect to; the toolkit's own options
    // (-platform and the like) are known only once the application has taken them out, so
    // an unknown option is a usage error here only when the toolkit could not start anyway.
    const QStringList arguments = argumentsOf(argc, argv);
    if (const std::optional<int> answered = start.answer(arguments, !displayAvailable(arguments)))
        return *answered;
    const bool styleChosen = veldo::styleChosenByUser(argc, argv);
    QApplication app(argc, argv);
    if (const std::optional<int> answered = start.answer(QApplication::arguments(), true))
        return *answered;
    veldo::applyApplicationIdentity();
    veldo::applyDefaultStyle(styleChosen);
    veldo::installTranslations();

    // Stopped by a signal, the tool closes its port as on a normal close, so that the port
    // is neither locked nor left in exclusive mode for the next program. A signal caught
    // while the window is built is read by the first event loop, a message box's included.
    veldo::TerminationSignals termination;
    veldo::frmVeldo window;
    QObject::connect(&termination, &veldo::TerminationSignals::received, &window, [&window] {
        window.close();
        // Every loop, a message box's too; quit() would let a modal box refuse.
        QCoreApplication::exit(0);
    });
    window.centre();
    window.show();
    if (const QStringList files = start.parser.positionalArguments(); !files.isEmpty())
        window.openConfigFile(files.first());
    // An exit inside a message box's loop ends only the loops already running.
    if (veldo::caughtTerminationSignal() != 0) {
        window.close();
        return 0;
    }
    return app.exec();
}
