// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace veldo {

// Whether the PEM certificate is made out to host: a name against its subject alternative
// names (or, lacking those, its common name), wildcards as browsers take them; an address
// against its IP address entries.
bool certificateNamesHost(const QByteArray &pem, const QString &host);

} // namespace veldo
