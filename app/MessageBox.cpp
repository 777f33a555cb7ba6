#include "app/MessageBox.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace veldo {

MessageBox::Handler &MessageBox::handler()
{
    static Handler instance;
    return instance;
}

void MessageBox::setHandler(Handler handler)
{
    MessageBox::handler() = std::move(handler);
}

void MessageBox::show(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Veldo"), text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // some styles decorate it; the box has no icon at all
    box.exec();
}

} // namespace veldo
