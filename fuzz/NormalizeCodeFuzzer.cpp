// SPDX-License-Identifier: GPL-3.0-or-later
// NormalizeCode on any text: always twelve upper-case hex digits, a second pass changes
// nothing, and twelve leading hex digits come back as they were, in upper case.
#include "FuzzCheck.h"

#include "config/CodeNormalizer.h"
#include "config/SwitchConfig.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

using namespace veldo;
using veldo::fuzz::check;

namespace {

bool isUpperHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

bool isHexDigit(QChar c)
{
    return isUpperHexDigit(c) || (c >= u'a' && c <= u'f');
}

void checkText(const QString &text)
{
    const QString once = NormalizeCode(text);
    check(once.size() == kCodeLength && std::all_of(once.begin(), once.end(), isUpperHexDigit),
          "the result is twelve upper-case hex digits");
    check(NormalizeCode(once) == once, "normalising twice gives the same as once");
    const QString head = text.left(kCodeLength);
    if (head.size() == kCodeLength && std::all_of(head.begin(), head.end(), isHexDigit))
        check(once == head.toUpper(), "a code of twelve hex digits is kept, in upper case");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    checkText(QString::fromUtf8(bytes, qsizetype(size)));
    checkText(QString::fromLatin1(bytes, qsizetype(size)));
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, 2 * units.size());
    checkText(QString::fromStdU16String(units));
    return 0;
}
