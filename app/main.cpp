#include "app/ApplicationIdentity.h"
#include "app/frmVeldo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    veldo::applyApplicationIdentity();
    QApplication::setStyle(QStringLiteral("Fusion"));

    veldo::frmVeldo window(veldo::PortMap::standard());
    window.centre();
    window.show();
    return app.exec();
}
