#pragma once

#include <QLineEdit>

namespace veldo {

// A code field: at most twelve characters, and a signal when the keyboard focus moves to
// another control of the window. Losing the focus because the whole window was deactivated
// or a popup opened does not count: a half-typed code must stay as typed meanwhile.
class CodeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CodeEdit(int index, QWidget *parent = nullptr);
    int index() const { return m_index; }

signals:
    void lostFocus(int index);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_index;
};

} // namespace veldo
