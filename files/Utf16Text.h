// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace veldo {

// UTF-16 text kept code unit for code unit, unpaired surrogates included, so that a line
// read and written back is the same bytes.

// The code units of UTF-16 bytes (an odd last byte is left out).
QString utf16Units(QByteArrayView bytes, bool bigEndian);
// Appends the code units as UTF-16 bytes.
void appendUtf16(QByteArray &bytes, QStringView units, bool bigEndian);

// Code units as UTF-8, an unpaired surrogate as the three bytes it would have as a character
// of its own (known as WTF-8).
QByteArray toWtf8(QStringView units);
// The code units back from toWtf8 or from UTF-8; a byte that starts no sequence is U+FFFD.
QString fromWtf8(QByteArrayView bytes);

} // namespace veldo
