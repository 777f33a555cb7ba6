// SPDX-License-Identifier: GPL-3.0-or-later
// Open and Save: a file dialog, then the core's configuration file operations. A file that
// cannot be read or written is reported, so that nobody leaves believing it was saved.
#include "app/frmVeldo.h"

#include "app/MessageBox.h"
#include "files/ConfigFile.h"
#include "files/FileReason.h"

#include <QDir>

namespace veldo {

void frmVeldo::Open_Click()
{
    const std::optional<QString> fileName = m_commonDialog1.showOpen(this);
    if (fileName && !fileName->isEmpty())
        loadFile(*fileName);
}

void frmVeldo::openConfigFile(const QString &fileName)
{
    m_commonDialog1.setFileName(fileName);
    loadFile(fileName);
}

void frmVeldo::loadFile(const QString &fileName)
{
    SwitchConfig config;
    const FileResult result = loadConfigFile(fileName, config);
    if (!result.ok()) {
        MessageBox::show(this, tr("Could not open %1:\n%2")
                                   .arg(QDir::toNativeSeparators(fileName), fileReason(result)));
        return;
    }
    replaceConfiguration(config);
}

void frmVeldo::Save_Click()
{
    const std::optional<QString> fileName = m_commonDialog1.showSave(this);
    if (!fileName || fileName->isEmpty())
        return;
    const FileResult result = saveConfigFile(*fileName, configuration());
    if (!result.ok())
        MessageBox::show(this, tr("Could not save to %1:\n%2")
                                   .arg(QDir::toNativeSeparators(*fileName), fileReason(result)));
}

} // namespace veldo
