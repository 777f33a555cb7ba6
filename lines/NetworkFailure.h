// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace veldo {

// Why a network line could not be opened or broke.
enum class NetworkFailure {
    None,
    Refused,         // nothing accepts connections at HOST:PORT
    UnknownHost,     // the name resolves to no address
    TimedOut,        // no connection, or no answer to the line settings, in time
    NotTrusted,      // the certificate does not lead to a trusted authority
    NameMismatch,    // a trusted certificate, made out to another name
    PortInUse,       // the server serves another connection on that port
    NoSerialControl, // the server does not take the line settings (no RFC 2217)
    Lost,            // the connection ended, or a write failed
    Other,
};

// Whether the failure came before the line was usable: the port could not be reached.
inline bool isUnreachable(NetworkFailure failure)
{
    return failure != NetworkFailure::None && failure != NetworkFailure::Lost;
}

} // namespace veldo
