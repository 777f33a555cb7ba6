// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ConfigFile.h"

#include "config/CodeNormalizer.h"
#include "files/FileStore.h"
#include "files/IniFile.h"

#include <QFileInfo>

namespace veldo {

namespace {

QString sectionOf(int output)
{
    return QStringLiteral("Output") + outputDigit(output);
}

// Only the first twelve characters of a stored code count, as in a code field.
QString loadedCode(const QString &stored)
{
    return NormalizeCode(QStringView(stored).left(kCodeLength));
}

// The 48 values into a document; false when one cannot be stored.
bool storeConfig(IniDocument &document, const SwitchConfig &config)
{
    for (int output = 0; output < kOutputCount; ++output) {
        const OutputSetting &setting = config.outputs.at(std::size_t(output));
        const QString section = sectionOf(output);
        if (!document.setValue(section, kCodeAKey, setting.codeA)
            || !document.setValue(section, kCodeBKey, setting.codeB)
            || !document.setValue(section, kTypeKey, outputTypeName(setting.type)))
            return false;
    }
    return true;
}

void loadConfig(const IniDocument &document, SwitchConfig &config)
{
    for (int output = 0; output < kOutputCount; ++output) {
        OutputSetting &setting = config.outputs.at(std::size_t(output));
        const QString section = sectionOf(output);
        setting.codeA = loadedCode(document.value(section, kCodeAKey));
        setting.codeB = loadedCode(document.value(section, kCodeBKey));
        setting.type = outputTypeFromName(document.value(section, kTypeKey)).value_or(OutputType::Pulse);
    }
}

bool holdsConfig(const IniDocument &document)
{
    for (int output = 0; output < kOutputCount; ++output) {
        for (const QString &key : {kCodeAKey, kCodeBKey, kTypeKey}) {
            if (!document.value(sectionOf(output), key).isEmpty())
                return true;
        }
    }
    return false;
}

} // namespace

FileResult saveConfigFile(const QString &fileName, const SwitchConfig &config)
{
    return editIniFile(fileName, [&config](IniDocument &document) { return storeConfig(document, config); });
}

QByteArray configFileBytes(const SwitchConfig &config)
{
    IniDocument document;
    return storeConfig(document, config) ? document.toBytes() : QByteArray();
}

FileResult loadConfigFile(const QString &fileName, SwitchConfig &config)
{
    IniDocument document;
    if (FileResult read = readIniDocument(fileName, document); !read.ok())
        return read;
    loadConfig(document, config);
    return {};
}

FileResult readConfigFile(const QString &fileName, SwitchConfig &config)
{
    if (!QFileInfo::exists(fileName))
        return FileResult::failure(FileError::NotFound);
    QByteArray bytes;
    if (FileResult read = readFileBytes(fileName, bytes); !read.ok())
        return read;
    return readConfigBytes(bytes, config);
}

FileResult readConfigBytes(const QByteArray &bytes, SwitchConfig &config)
{
    const IniDocument document(bytes);
    if (!holdsConfig(document))
        return FileResult::failure(FileError::NoConfiguration);
    loadConfig(document, config);
    return {};
}

} // namespace veldo
