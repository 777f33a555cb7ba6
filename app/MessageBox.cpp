// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MessageBox.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace veldo {

void MessageBox::show(QWidget *parent, const QString &text)
{
    if (installed())
        return installed()(text);
    build(parent, text)->exec();
}

std::unique_ptr<QMessageBox> MessageBox::build(QWidget *parent, const QString &text)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Veldo"), text, QMessageBox::Ok, parent);
    box->button(QMessageBox::Ok)->setIcon(QIcon()); // some styles decorate it; the box has no icon at all
    box->setTextFormat(Qt::PlainText);              // file and device names are shown as they are, never as markup
    return box;
}

} // namespace veldo
