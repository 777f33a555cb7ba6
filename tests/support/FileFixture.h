// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>

namespace veldo::test {

// A null QByteArray stands for "no file".
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool putFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace veldo::test
