#include "files/ConfigFile.h"

#include "config/CodeNormalizer.h"
#include "files/IniFile.h"

namespace veldo {

namespace {

const QString kCodeAKey = QStringLiteral("Code A");
const QString kCodeBKey = QStringLiteral("Code B");
const QString kTypeKey = QStringLiteral("Output Type");

QString sectionOf(int output)
{
    return QStringLiteral("Output") + outputDigit(output);
}

// Only the first twelve characters of a stored code count, as in a code field.
QString loadedCode(const QString &stored)
{
    return NormalizeCode(QStringView(stored).left(kCodeLength));
}

} // namespace

FileResult saveConfigFile(const QString &fileName, const SwitchConfig &config)
{
    return editIniFile(fileName, [&config](IniDocument &document) {
        for (int output = 0; output < kOutputCount; ++output) {
            const OutputSetting &setting = config.outputs.at(std::size_t(output));
            const QString section = sectionOf(output);
            if (!document.setValue(section, kCodeAKey, setting.codeA)
                || !document.setValue(section, kCodeBKey, setting.codeB)
                || !document.setValue(section, kTypeKey, outputTypeName(setting.type)))
                return false;
        }
        return true;
    });
}

FileResult loadConfigFile(const QString &fileName, SwitchConfig &config)
{
    IniDocument document;
    if (FileResult read = readIniDocument(fileName, document); !read.ok)
        return read;
    for (int output = 0; output < kOutputCount; ++output) {
        OutputSetting &setting = config.outputs.at(std::size_t(output));
        const QString section = sectionOf(output);
        setting.codeA = loadedCode(document.value(section, kCodeAKey));
        setting.codeB = loadedCode(document.value(section, kCodeBKey));
        setting.type = outputTypeFromName(document.value(section, kTypeKey)).value_or(OutputType::Pulse);
    }
    return {};
}

} // namespace veldo
