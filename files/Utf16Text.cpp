// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/Utf16Text.h"

#include <QtEndian>

namespace veldo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts, 0 for a byte that starts none.
int sequenceLength(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF8 ? 4
                       : lead >= 0xE0                    ? 3
                       : lead >= 0xC0                    ? 2
                                                         : 0;
}

} // namespace

QString utf16Units(QByteArrayView bytes, bool bigEndian)
{
    QString units(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < units.size(); ++i) {
        const char *unit = bytes.data() + 2 * i;
        units[i] = QChar(bigEndian ? qFromBigEndian<quint16>(unit) : qFromLittleEndian<quint16>(unit));
    }
    return units;
}

void appendUtf16(QByteArray &bytes, QStringView units, bool bigEndian)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + 2 * units.size());
    for (qsizetype i = 0; i < units.size(); ++i) {
        char *unit = bytes.data() + start + 2 * i;
        bigEndian ? qToBigEndian<quint16>(units[i].unicode(), unit) : qToLittleEndian<quint16>(units[i].unicode(), unit);
    }
}

QByteArray toWtf8(QStringView units)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < units.size(); ++i) {
        char32_t c = units[i].unicode();
        if (units[i].isHighSurrogate() && i + 1 < units.size() && units[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(units[i], units[i + 1]);
            ++i;
        }
        if (c < 0x80) {
            bytes += char(c);
            continue;
        }
        const int length = c < 0x800 ? 2 : c < 0x10000 ? 3
                                                       : 4;
        bytes += char((0xF00 >> length) | (c >> (6 * (length - 1))));
        for (int shift = 6 * (length - 2); shift >= 0; shift -= 6)
            bytes += char(0x80 | ((c >> shift) & 0x3F));
    }
    return bytes;
}

QString fromWtf8(QByteArrayView bytes)
{
    QString units;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int length = sequenceLength(lead);
        char32_t c = length == 0 ? kReplacement : length == 1 ? lead
                                                              : lead & (0x7F >> length);
        int taken = 1;
        for (; taken < length && i + taken < bytes.size() && (bytes[i + taken] & 0xC0) == 0x80; ++taken)
            c = (c << 6) | (bytes[i + taken] & 0x3F);
        if (taken < length || c > 0x10FFFF)
            c = kReplacement;
        i += length == 0 ? 1 : taken;
        if (QChar::requiresSurrogates(c)) {
            units += QChar(QChar::highSurrogate(c));
            units += QChar(QChar::lowSurrogate(c));
        } else {
            units += QChar(char16_t(c));
        }
    }
    return units;
}

} // namespace veldo
