#include "app/MessageBox.h"

#include <QMessageBox>

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
    box.exec();
}

} // namespace veldo
