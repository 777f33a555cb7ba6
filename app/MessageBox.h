#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace veldo {

// The window's only way to tell the user something: a modal box with the text, one OK
// button, no icon and the caption "Veldo". Tests install a handler that answers instead.
class MessageBox {
public:
    using Handler = std::function<void(const QString &text)>;

    static void show(QWidget *parent, const QString &text);
    // Replaces the dialog for tests; an empty handler restores it.
    static void setHandler(Handler handler);

private:
    static Handler &handler();
};

} // namespace veldo
