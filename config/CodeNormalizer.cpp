// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/CodeNormalizer.h"

namespace veldo {

namespace {

bool isSkippedBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

std::uint8_t pairValue(QStringView pair)
{
    int value = 0;
    for (QChar c : pair) {
        if (isSkippedBlank(c))
            continue;
        const int digit = hexValue(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return static_cast<std::uint8_t>(value);
}

} // namespace

CodeBytes codeBytes(QStringView text)
{
    CodeBytes bytes{};
    for (qsizetype k = 0; k < qsizetype(bytes.size()); ++k) {
        const qsizetype start = 2 * k;
        if (start < text.size())
            bytes[std::size_t(k)] = pairValue(text.mid(start, 2));
    }
    return bytes;
}

QString codeText(const CodeBytes &bytes)
{
    QString text;
    text.reserve(2 * qsizetype(bytes.size()));
    for (std::uint8_t byte : bytes)
        text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

QString NormalizeCode(QStringView text)
{
    return codeText(codeBytes(text));
}

} // namespace veldo
