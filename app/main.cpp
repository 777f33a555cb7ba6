#include "app/frmVeldo.h"

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
    return app.exec();
}
