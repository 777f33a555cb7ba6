// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace veldo {

// Tells assistive technology what happened where the window shows nothing that it would read
// out by itself: an invisible notification whose accessible name is the news, announced once
// each time it is set (a screen reader speaks a notification as it appears).
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &text);

signals:
    // After each announcement, also where no assistive technology listens.
    void announced(const QString &text);
};

} // namespace veldo
