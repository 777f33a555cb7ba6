// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/FileDialog.h"
#include "app/MessageBox.h"
#include "app/frmVeldo.h"
#include "ports/PortMap.h"
#include "ports/PortScanner.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>

// A window on a ports folder of its own (no real devices), with the message box and the file
// dialog answered by the test: messages are recorded with the state of the buttons at that moment.
class WindowHarness {
public:
    struct Message {
        QString text;
        bool exchangeButtonsEnabled;
        bool statusShown;
    };

    WindowHarness()
    {
        // Downloads are kept under the data home: never the real one.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        veldo::MessageBox::setHandler([this](const QString &text) {
            messages.push_back({text, button("Download")->isEnabled() && button("Upload")->isEnabled(),
                                label("LblMsg")->isVisible()});
        });
        veldo::FileDialog::setHandler([this](veldo::FileDialog::Mode mode, const QString &proposed) {
            dialogs.push_back({mode, proposed});
            std::optional<QString> answer;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            }
            return answer;
        });
    }
    ~WindowHarness()
    {
        window.reset();
        veldo::MessageBox::setHandler({});
        veldo::FileDialog::setHandler({});
    }

    QString portsFolder() const { return dir.filePath(QStringLiteral("ports")); }

    // Creates and shows the window; ports linked into portsFolder() before this are probed,
    // and the port chosen is open once this returns.
    veldo::frmVeldo &open()
    {
        window = std::make_unique<veldo::frmVeldo>(veldo::PortMap(portsFolder(), {}));
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("window not active");
        if (!QTest::qWaitFor([this] { return !child<veldo::PortScanner>(QStringLiteral("PortScanner"))->busy(); }, 10000))
            qWarning("ports not scanned");
        return *window;
    }

    template <typename T = QWidget> T *child(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit *code(int index) const { return child<QLineEdit>(QStringLiteral("Data1_%1").arg(index)); }
    QRadioButton *type(int index) const { return child<QRadioButton>(QStringLiteral("Toggle_%1").arg(index)); }
    QPushButton *button(const char *name) const { return child<QPushButton>(QString::fromLatin1(name)); }
    QLabel *label(const char *name) const { return child<QLabel>(QString::fromLatin1(name)); }
    // Clicks into a code field and types over its text, as a person would.
    QLineEdit *typeInto(int index, const QString &text) const
    {
        QLineEdit *edit = code(index);
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        return edit;
    }
    // A key as a person presses it: to the control that has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) const
    {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window.get(), key, modifiers);
    }
    QString focusName() const
    {
        QWidget *f = QApplication::focusWidget();
        return f ? f->objectName() : QStringLiteral("(none)");
    }

    QTemporaryDir dir;
    std::unique_ptr<veldo::frmVeldo> window;
    std::vector<Message> messages;
    std::vector<std::pair<veldo::FileDialog::Mode, QString>> dialogs;
    std::deque<std::optional<QString>> answers; // the next file dialog answers; nullopt is Cancel
};
