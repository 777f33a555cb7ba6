// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogSeam.h"

#include <QString>

#include <memory>

class QMessageBox;
class QWidget;

namespace veldo {

// The window's only way to tell the user something: a modal box with the text, one OK
// button, no icon and the caption "Veldo".
class MessageBox : public DialogSeam<void(const QString &text)> {
public:
    static void show(QWidget *parent, const QString &text);
    // The box show() runs, not yet shown.
    static std::unique_ptr<QMessageBox> build(QWidget *parent, const QString &text);
};

} // namespace veldo
