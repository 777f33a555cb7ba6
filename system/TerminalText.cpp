// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/TerminalText.h"

namespace veldo {

QString escapeControls(QStringView text, LineBreaks lineBreaks)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        const bool control = unit < 0x20 || (unit >= 0x7F && unit <= 0x9F);
        if (control && !(unit == u'\n' && lineBreaks == LineBreaks::Keep))
            escaped += QStringLiteral("\\x%1").arg(unsigned(unit), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

} // namespace veldo
