// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace veldo {

// A serial port on another machine, served over RFC 2217, in the clear or over TLS.
struct RemotePortAddress {
    QString host; // a host name, a dotted IPv4 address or an IPv6 address without its brackets
    quint16 port = 0;
    bool tls = false;
    QString caFile; // TLS only: the certificates to trust instead of the system's; empty for the system's

    bool isIPv6() const { return host.contains(QLatin1Char(':')); }
    // "HOST:PORT", an IPv6 address in brackets.
    QString display() const;

    bool operator==(const RemotePortAddress &) const = default;
};

// Why a text is not a remote port address.
enum class RemotePortAddressError {
    None,
    NotRemote, // neither rfc2217:// nor rfc2217+tls://
    MissingHost,
    BadHostName,     // not a host name: characters other than letters, digits, '-' and '.', or a bad label
    BadIPv4Address,  // digits and dots that make no IPv4 address
    BadIPv6Address,  // in brackets, but no IPv6 address
    UnbracketedIPv6, // an IPv6 address must be written in brackets
    MissingPort,
    BadPort,      // not a decimal number from 1 to 65535
    TrailingText, // something after the port other than ?ca=FILE
    CaWithoutTls, // ?ca= on a connection in the clear
    BadCaFile,    // the CA file is empty, relative or holds a character the connection string reserves
};

struct RemotePortAddressParse {
    std::optional<RemotePortAddress> address;
    RemotePortAddressError error = RemotePortAddressError::None;
};

// Whether text is meant as a remote port address (starts with one of its schemes), valid or not.
bool isRemotePortUrl(const QString &text);
// Reads rfc2217://HOST:PORT or rfc2217+tls://HOST:PORT[?ca=FILE].
RemotePortAddressParse parseRemotePortAddress(const QString &text);
// Says, for a person, why text is no remote port address.
QString describeRemotePortAddressError(RemotePortAddressError error, const QString &text);

} // namespace veldo
