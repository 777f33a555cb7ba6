// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileDialog.h"

#include <QFileDialog>

namespace veldo {

std::optional<QString> FileDialog::showOpen(QWidget *parent)
{
    m_fileName.clear();
    return show(parent, Mode::Open);
}

std::optional<QString> FileDialog::showSave(QWidget *parent)
{
    return show(parent, Mode::Save);
}

std::optional<QString> FileDialog::show(QWidget *parent, Mode mode)
{
    std::optional<QString> chosen;
    if (installed()) {
        chosen = installed()(mode, m_fileName);
    } else {
        QFileDialog dialog(parent, QStringLiteral("Veldo ProgrammingTool"));
        // "*.*" would hide every name without a dot, which on Linux is many files.
        dialog.setNameFilters({tr("Config Files (*.ini)"), tr("All files (*)")});
        dialog.setDefaultSuffix(QStringLiteral("ini"));
        // Open takes a name that does not exist yet; Save asks before replacing a file.
        dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!m_fileName.isEmpty())
            dialog.selectFile(m_fileName);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    if (chosen)
        m_fileName = *chosen;
    return chosen;
}

} // namespace veldo
