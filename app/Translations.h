// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QStringList>

namespace veldo {

// The languages the window is translated into, as their codes ("de"); English is the source.
QStringList shippedLanguages();

// Translates the window into the first of the locale's languages (LANGUAGE, then LC_ALL,
// LC_MESSAGES, LANG) that a translation is shipped for; an English language met first, or none
// shipped, keeps it English. Qt's own dialogs follow where the system has their translation.
// Call once, after the QApplication exists; the command line tool never does.
void installTranslations(const QLocale &locale = QLocale());

} // namespace veldo
