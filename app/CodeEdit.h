// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace veldo {

// A code field: at most twelve characters. Ctrl+Z and Ctrl+Shift+Z undo and redo the typing
// in the field while it has any; with none, they are left to the window's undo.
class CodeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CodeEdit(int index, QWidget *parent = nullptr);
    int index() const { return m_index; }

protected:
    bool event(QEvent *event) override;

private:
    int m_index;
};

} // namespace veldo
