#include "app/frmVeldo.h"
#include "link/TerminationSignals.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veldo"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    QIcon icon;
    for (const char *file : {":/icons/veldo-16.png", ":/icons/veldo-32.png", ":/icons/veldo.svg"})
        icon.addFile(QString::fromLatin1(file));
    QApplication::setWindowIcon(icon);

    veldo::frmVeldo window(veldo::PortMap::standard());
    window.centre();
    window.show();
    // Stopped by a signal, the tool closes its port as on a normal close, so that the port
    // is neither locked nor left in exclusive mode for the next program.
    veldo::TerminationSignals termination;
    QObject::connect(&termination, &veldo::TerminationSignals::received, &window, [&window] {
        window.close();
        QCoreApplication::quit();
    });
    return app.exec();
}
