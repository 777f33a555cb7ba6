// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortFacts.h"

namespace veldo {

QString portStateKey(PortState state)
{
    switch (state) {
    case PortState::Usable: return QStringLiteral("usable");
    case PortState::Missing: return QStringLiteral("missing");
    case PortState::NoPermission: return QStringLiteral("no-permission");
    case PortState::InUse: return QStringLiteral("in-use");
    case PortState::NotSerial: return QStringLiteral("not-serial");
    case PortState::Error: break;
    }
    return QStringLiteral("error");
}

} // namespace veldo
