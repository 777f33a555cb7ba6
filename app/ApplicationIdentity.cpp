// SPDX-License-Identifier: GPL-3.0-or-later
#include "ApplicationIdentity.h"

#include <QApplication>
#include <QIcon>

namespace veldo {

void nameApplication()
{
    QApplication::setApplicationName(QStringLiteral(VELDO_APP_NAME));
    QApplication::setApplicationVersion(QStringLiteral(VELDO_VERSION));
    // The Wayland app id and the desktop entry's name: the compositor finds the icon through it.
    QApplication::setDesktopFileName(QStringLiteral(VELDO_APP_ID));
}

void applyApplicationIdentity()
{
    nameApplication();

    // Window managers pick the size they draw (title bar, task switcher) from these.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/veldo-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
}

} // namespace veldo
