#include "app/ApplicationIdentity.h"
#include "app/frmVeldo.h"
#include "link/TerminationSignals.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    veldo::applyApplicationIdentity();
    QApplication::setStyle(QStringLiteral("Fusion"));

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
