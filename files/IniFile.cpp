#include "files/IniFile.h"

#include "files/FileStore.h"

namespace veldo {

FileResult readIniDocument(const QString &fileName, IniDocument &document)
{
    QByteArray bytes;
    const FileResult read = readFileBytes(fileName, bytes);
    if (read.ok)
        document = IniDocument(bytes);
    return read;
}

FileResult editIniFile(const QString &fileName, const std::function<bool(IniDocument &)> &edit)
{
    IniDocument document;
    if (FileResult read = readIniDocument(fileName, document); !read.ok)
        return read;
    if (!edit(document))
        return FileResult::failure(
            QStringLiteral("A name or value holds a character that an INI file cannot store"));
    return replaceFileBytes(fileName, document.toBytes());
}

QString ReadIniString(const QString &section, const QString &key, const QString &fileName)
{
    IniDocument document;
    readIniDocument(fileName, document);
    return document.value(section, key);
}

bool WriteIniString(const QString &section, const QString &key, const QString &value,
                    const QString &fileName)
{
    return editIniFile(fileName, [&](IniDocument &document) {
               return document.setValue(section, key, value);
           }).ok;
}

} // namespace veldo
