// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Style.h"

#include <QApplication>
#include <QByteArrayView>

namespace veldo {

bool styleChosenByUser(int argc, const char *const argv[])
{
    if (!qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE"))
        return true;
    for (int i = 1; i < argc; ++i) {
        QByteArrayView argument(argv[i]);
        if (argument.startsWith("--"))
            argument = argument.sliced(1); // Qt takes its options with one dash or two
        if (argument == "-style" || argument.startsWith("-style="))
            return true;
    }
    return false;
}

void applyDefaultStyle(bool chosenByUser)
{
    if (!chosenByUser)
        QApplication::setStyle(QStringLiteral("Fusion"));
}

} // namespace veldo
