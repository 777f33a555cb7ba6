// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace veldo {

namespace {
const QString kFolder = QStringLiteral(":/i18n");
const QString kPrefix = QStringLiteral("veldo_");
} // namespace

QStringList shippedLanguages()
{
    QStringList languages;
    for (const QString &file : QDir(kFolder).entryList({kPrefix + QStringLiteral("*.qm")}, QDir::Files))
        languages << file.mid(kPrefix.size()).chopped(3);
    return languages;
}

void installTranslations(const QLocale &locale)
{
    for (const QString &name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English || language.language() == QLocale::C)
            return;
        auto *own = new QTranslator(QCoreApplication::instance());
        if (!own->load(language, QStringLiteral("veldo"), QStringLiteral("_"), kFolder)) {
            delete own;
            continue;
        }
        QCoreApplication::installTranslator(own);
        auto *qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
        else
            delete qt;
        return;
    }
}

} // namespace veldo
