// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogSeam.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class QWidget;

namespace veldo {

enum class FileDialogMode { Open,
                            Save };

// The file dialog of Open and Save. It keeps the chosen name from one use to the next:
// Open starts empty, Save proposes the name last chosen. A test handler gets the mode and
// the proposed name and returns the chosen name, or nullopt for Cancel.
class FileDialog : public DialogSeam<std::optional<QString>(FileDialogMode mode, const QString &proposed)> {
    Q_DECLARE_TR_FUNCTIONS(veldo::FileDialog)
public:
    using Mode = FileDialogMode;

    // nullopt when the user cancels.
    std::optional<QString> showOpen(QWidget *parent);
    std::optional<QString> showSave(QWidget *parent);
    // The name Save proposes next.
    void setFileName(const QString &fileName) { m_fileName = fileName; }

private:
    std::optional<QString> show(QWidget *parent, Mode mode);

    QString m_fileName;
};

} // namespace veldo
