// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AccessibleRoles.h"

#include "app/Announcer.h"
#include "app/frmVeldo.h"

#include <QAccessibleWidget>

namespace veldo {

namespace {

QAccessibleInterface *roleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String(frmVeldo::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (className == QLatin1String(Announcer::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static const bool installed = (QAccessible::installFactory(roleFor), true);
    Q_UNUSED(installed);
}

} // namespace veldo
