// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/IniFile.h"

#include "files/FileStore.h"

#include <new>

namespace veldo {

namespace {

// Memory for a file up to the size bound is small, but the system may still refuse it.
template <typename Work> FileResult withinMemory(Work work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        return FileResult::failure(FileError::OutOfMemory);
    }
}

} // namespace

FileResult readIniDocument(const QString &fileName, IniDocument &document)
{
    return withinMemory([&] {
        QByteArray bytes;
        const FileResult read = readFileBytes(fileName, bytes);
        if (read.ok())
            document = IniDocument(bytes);
        return read;
    });
}

FileResult editIniFile(const QString &fileName, const std::function<bool(IniDocument &)> &edit)
{
    // The file is found once and read and replaced through what was found, so that nothing
    // but the file read is ever written, however its name changes in between.
    FileUpdate file;
    if (FileResult found = file.open(fileName); !found.ok())
        return found;
    return withinMemory([&] {
        QByteArray bytes;
        if (FileResult read = file.read(bytes); !read.ok())
            return read;
        IniDocument document(bytes);
        bytes.clear();
        if (!edit(document))
            return FileResult::failure(FileError::Unstorable);
        return file.replace(document.toBytes());
    });
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
           })
        .ok();
}

} // namespace veldo
