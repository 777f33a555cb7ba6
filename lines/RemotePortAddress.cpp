// SPDX-License-Identifier: GPL-3.0-or-later
#include "RemotePortAddress.h"

#include <QCoreApplication>

#include <arpa/inet.h>

namespace veldo {

namespace {

const QString kPlainScheme = QStringLiteral("rfc2217://");
const QString kTlsScheme = QStringLiteral("rfc2217+tls://");
const QString kCaQuery = QStringLiteral("?ca=");
constexpr qsizetype kMaxHostName = 253;
constexpr qsizetype kMaxLabel = 63;
constexpr int kMaxPort = 65535;

bool isLetterOrDigit(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

bool isHostName(const QString &host)
{
    if (host.size() > kMaxHostName)
        return false;
    for (const QStringView label : QStringView(host).split(QLatin1Char('.'))) {
        if (label.isEmpty() || label.size() > kMaxLabel || label.front() == QLatin1Char('-') || label.back() == QLatin1Char('-'))
            return false;
        for (QChar c : label) {
            if (!isLetterOrDigit(c) && c != QLatin1Char('-'))
                return false;
        }
    }
    return true;
}

bool isAddress(int family, const QString &text)
{
    unsigned char buffer[sizeof(in6_addr)];
    return ::inet_pton(family, text.toLatin1().constData(), buffer) == 1 && text.toLatin1() == text.toUtf8();
}

bool onlyDigitsAndDots(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')); });
}

// The file goes into the connection string as an option value: the characters that separate,
// group or quote options there are refused, so that no path can add options of its own.
bool isUsableCaFile(const QString &file)
{
    if (!file.startsWith(QLatin1Char('/')))
        return false;
    return std::none_of(file.begin(), file.end(), [](QChar c) { return c.isSpace() || c.category() == QChar::Other_Control || QStringLiteral(",()\"'\\").contains(c); });
}

RemotePortAddressParse refused(RemotePortAddressError error)
{
    return {std::nullopt, error};
}

std::optional<quint16> portNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const int number = text.toInt();
    if (number < 1 || number > kMaxPort)
        return std::nullopt;
    return quint16(number);
}

} // namespace

QString RemotePortAddress::display() const
{
    const QString shownHost = isIPv6() ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shownHost + QLatin1Char(':') + QString::number(port);
}

bool isRemotePortUrl(const QString &text)
{
    return text.startsWith(kPlainScheme, Qt::CaseInsensitive) || text.startsWith(kTlsScheme, Qt::CaseInsensitive);
}

RemotePortAddressParse parseRemotePortAddress(const QString &text)
{
    RemotePortAddress address;
    QString rest;
    if (text.startsWith(kTlsScheme, Qt::CaseInsensitive)) {
        address.tls = true;
        rest = text.mid(kTlsScheme.size());
    } else if (text.startsWith(kPlainScheme, Qt::CaseInsensitive)) {
        rest = text.mid(kPlainScheme.size());
    } else {
        return refused(RemotePortAddressError::NotRemote);
    }

    const qsizetype query = rest.indexOf(QLatin1Char('?'));
    const QString authority = query < 0 ? rest : rest.left(query);
    if (query >= 0) {
        const QString tail = rest.mid(query);
        if (!tail.startsWith(kCaQuery))
            return refused(RemotePortAddressError::TrailingText);
        if (!address.tls)
            return refused(RemotePortAddressError::CaWithoutTls);
        address.caFile = tail.mid(kCaQuery.size());
        if (!isUsableCaFile(address.caFile))
            return refused(RemotePortAddressError::BadCaFile);
    }

    qsizetype portStart = -1;
    if (authority.startsWith(QLatin1Char('['))) {
        const qsizetype close = authority.indexOf(QLatin1Char(']'));
        if (close < 0)
            return refused(RemotePortAddressError::BadIPv6Address);
        address.host = authority.mid(1, close - 1);
        if (!address.isIPv6() || !isAddress(AF_INET6, address.host))
            return refused(RemotePortAddressError::BadIPv6Address);
        if (close + 1 < authority.size() && authority.at(close + 1) != QLatin1Char(':'))
            return refused(RemotePortAddressError::TrailingText);
        portStart = close + 1 < authority.size() ? close + 2 : -1;
    } else {
        const qsizetype colon = authority.indexOf(QLatin1Char(':'));
        if (colon >= 0 && authority.indexOf(QLatin1Char(':'), colon + 1) >= 0)
            return refused(RemotePortAddressError::UnbracketedIPv6);
        address.host = colon < 0 ? authority : authority.left(colon);
        if (address.host.isEmpty())
            return refused(RemotePortAddressError::MissingHost);
        if (onlyDigitsAndDots(address.host)) {
            if (!isAddress(AF_INET, address.host))
                return refused(RemotePortAddressError::BadIPv4Address);
        } else if (!isHostName(address.host)) {
            return refused(RemotePortAddressError::BadHostName);
        }
        portStart = colon < 0 ? -1 : colon + 1;
    }
    if (address.host.isEmpty())
        return refused(RemotePortAddressError::MissingHost);
    if (portStart < 0 || portStart >= authority.size())
        return refused(RemotePortAddressError::MissingPort);
    const QStringView portText = QStringView(authority).mid(portStart);
    if (portText.contains(QLatin1Char('/')))
        return refused(RemotePortAddressError::TrailingText);
    const std::optional<quint16> port = portNumber(portText);
    if (!port)
        return refused(RemotePortAddressError::BadPort);
    address.port = *port;
    return {address, RemotePortAddressError::None};
}

QString describeRemotePortAddressError(RemotePortAddressError error, const QString &text)
{
    const char *reason = "";
    switch (error) {
    case RemotePortAddressError::None: return QString();
    case RemotePortAddressError::NotRemote: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1 starts with neither rfc2217:// nor rfc2217+tls://"); break;
    case RemotePortAddressError::MissingHost: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1 names no host"); break;
    case RemotePortAddressError::BadHostName: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: the host is no valid host name (letters, digits, '-' and '.')"); break;
    case RemotePortAddressError::BadIPv4Address: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: the host is no valid IPv4 address"); break;
    case RemotePortAddressError::BadIPv6Address: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: the brackets hold no valid IPv6 address"); break;
    case RemotePortAddressError::UnbracketedIPv6: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: an IPv6 address must be written in brackets, as in rfc2217://[::1]:3001"); break;
    case RemotePortAddressError::MissingPort: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1 names no port: add :PORT after the host"); break;
    case RemotePortAddressError::BadPort: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: the port must be a number from 1 to 65535"); break;
    case RemotePortAddressError::TrailingText: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: only ?ca=FILE may follow the port"); break;
    case RemotePortAddressError::CaWithoutTls: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: a CA file needs rfc2217+tls://"); break;
    case RemotePortAddressError::BadCaFile: reason = QT_TRANSLATE_NOOP("veldo::RemotePortAddress", "%1: the CA file must be an absolute path without spaces, commas, parentheses, quotes or backslashes"); break;
    }
    return QCoreApplication::translate("veldo::RemotePortAddress", reason).arg(text);
}

} // namespace veldo
