// SPDX-License-Identifier: GPL-3.0-or-later
#include "ports/PortAdvice.h"

#include <QCoreApplication>
#include <QSet>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace veldo {

namespace {

// The names this tool's programs run under.
const QSet<QString> kOwnPrograms = {QStringLiteral("veldo"), QStringLiteral("veldo-cli")};

QString userName()
{
    const passwd *user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid());
}

QString groupName(gid_t gid)
{
    const group *entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// Whether the group database lists the user in the group, whatever this session holds.
bool listedInGroup(gid_t gid)
{
    const passwd *user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    if (user->pw_gid == gid)
        return true;
    const group *entry = ::getgrgid(gid);
    for (char **member = entry ? entry->gr_mem : nullptr; member && *member; ++member) {
        if (qstrcmp(*member, user->pw_name) == 0)
            return true;
    }
    return false;
}

// "crw-rw----", as ls shows it.
QString modeText(mode_t mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const char *letters = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (1u << bit)) ? QChar::fromLatin1(letters[(8 - bit) % 3]) : u'-';
    return text;
}

QString describeHolder(const ProcessEntry &holder)
{
    if (holder.pid == QCoreApplication::applicationPid())
        return QCoreApplication::translate("veldo::PortAdvice", "this program");
    if (kOwnPrograms.contains(holder.name))
        return QCoreApplication::translate("veldo::PortAdvice", "another copy of this tool (%1, PID %2)").arg(holder.name).arg(holder.pid);
    if (holder.name.isEmpty())
        return QStringLiteral("PID %1").arg(holder.pid);
    return QStringLiteral("%1 (PID %2)").arg(holder.name).arg(holder.pid);
}

// At most this many port lines in a brief explanation: with the hints, a message box
// stays within an 800x600 screen.
constexpr qsizetype kBriefPortLines = 6;

QString portLine(const PortFacts &port)
{
    return QStringLiteral("Com%1: %2").arg(port.number).arg(port.reason);
}

// "Com1, Com3–Com16": runs of three or more numbers shortened.
QString numberList(const QList<int> &numbers)
{
    QStringList parts;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype end = i;
        while (end + 1 < numbers.size() && numbers[end + 1] == numbers[end] + 1)
            ++end;
        if (end - i >= 2) {
            parts << QStringLiteral("Com%1\u2013Com%2").arg(numbers[i]).arg(numbers[end]);
        } else {
            for (qsizetype k = i; k <= end; ++k)
                parts << QStringLiteral("Com%1").arg(numbers[k]);
        }
        i = end + 1;
    }
    return parts.join(QStringLiteral(", "));
}

// A number the user pointed at an adapter that is not plugged in.
bool linkedAndUnplugged(const PortFacts &port, const QString &portsFolder)
{
    return port.state == PortState::Missing && port.path.startsWith(portsFolder + u'/');
}

// A port worth naming: there but unusable, or pointed by the user at something missing.
bool worthNaming(const PortFacts &port, const QString &portsFolder)
{
    return !port.usable() && (port.state != PortState::Missing || linkedAndUnplugged(port, portsFolder));
}

QStringList portLines(const PortScan &ports, const QString &portsFolder, Detail detail)
{
    QStringList lines;
    QList<int> unplugged;
    for (const PortFacts &port : ports) {
        if (detail == Detail::Brief && linkedAndUnplugged(port, portsFolder))
            unplugged << port.number;
        else if (worthNaming(port, portsFolder))
            lines << portLine(port);
    }
    if (!unplugged.isEmpty())
        lines.prepend(QStringLiteral("%1: %2").arg(numberList(unplugged), unplugged.size() == 1
                                                                              ? QCoreApplication::translate("veldo::PortAdvice", "the linked adapter is not plugged in")
                                                                              : QCoreApplication::translate("veldo::PortAdvice", "the linked adapters are not plugged in")));
    if (detail == Detail::Brief && lines.size() > kBriefPortLines) {
        const qsizetype more = lines.size() - (kBriefPortLines - 1);
        lines.resize(kBriefPortLines - 1);
        lines << QCoreApplication::translate("veldo::PortAdvice", "%1 more ports need action: see the port list's tooltip or veldo-cli ports.").arg(more);
    }
    return lines;
}

QString noAdapterText(const PortScan &ports, const QString &portsFolder, Detail detail)
{
    QStringList looked;
    for (const PortFacts &port : ports) {
        if (!port.path.isEmpty() && (detail == Detail::Full || !linkedAndUnplugged(port, portsFolder)))
            looked << port.path;
    }
    const QString found = looked.isEmpty() ? QCoreApplication::translate("veldo::PortAdvice", "No serial adapter was found.")
                                           : QCoreApplication::translate("veldo::PortAdvice", "No serial adapter was found. Looked for: %1.")
                                                 .arg(looked.join(QStringLiteral(", ")));
    return found + u'\n'
         + QCoreApplication::translate("veldo::PortAdvice", "To use another device as Com N, make %1/comN a link to it, for "
                                                            "example to its name in /dev/serial/by-id/.")
               .arg(portsFolder);
}

} // namespace

QString describeHolders(const QList<ProcessEntry> &holders)
{
    QStringList names;
    for (const ProcessEntry &holder : holders)
        names << describeHolder(holder);
    return names.join(QStringLiteral(", "));
}

QString noPermissionReason(const QString &device, const struct stat &status)
{
    const QString group = groupName(status.st_gid);
    const QString what = QCoreApplication::translate("veldo::PortAdvice", "no permission to open %1, which belongs to the group %2 (%3)")
                             .arg(device, group, modeText(status.st_mode));
    if (listedInGroup(status.st_gid))
        return what + QCoreApplication::translate("veldo::PortAdvice", ": %1 is in the group %2, but this session started before that; "
                                                                       "log out and in again")
                          .arg(userName(), group);
    if ((status.st_mode & S_IRWXG) == 0 || status.st_gid == 0)
        return what + QCoreApplication::translate("veldo::PortAdvice", ": ask the administrator for access to it");
    return what + QCoreApplication::translate("veldo::PortAdvice", ": add your user to the group %1 (sudo adduser %2 %1), then log out and in again").arg(group, userName());
}

QStringList grabberHints(const QList<ProcessEntry> &processes)
{
    bool modemManager = false;
    bool brltty = false;
    for (const ProcessEntry &process : processes) {
        modemManager = modemManager || process.name == QLatin1String("ModemManager");
        brltty = brltty || process.name.startsWith(QLatin1String("brltty"));
    }
    QStringList hints;
    if (modemManager)
        hints << QCoreApplication::translate(
            "veldo::PortAdvice",
            "ModemManager runs on this machine; it is known to seize USB serial adapters for a while after "
            "they are plugged in. To keep it away from the adapter, give it the udev property "
            "ID_MM_DEVICE_IGNORE=1 in a rule under /etc/udev/rules.d/, or stop it: sudo systemctl stop ModemManager.");
    if (brltty)
        hints << QCoreApplication::translate(
            "veldo::PortAdvice",
            "brltty runs on this machine; its udev rules claim some USB serial adapters as braille displays. "
            "Without a braille display, remove it (sudo apt remove brltty) or its udev rule, then plug the "
            "adapter in again.");
    return hints;
}

QString noPortExplanation(const PortScan &ports, const QList<ProcessEntry> &processes, const QString &portsFolder,
                          Detail detail)
{
    QStringList parts{QCoreApplication::translate("veldo::PortAdvice", "No serial port is open.")};
    QList<int> usable;
    bool anyThere = false;
    for (const PortFacts &port : ports) {
        anyThere = anyThere || port.state != PortState::Missing;
        if (port.usable())
            usable << port.number;
    }
    if (!usable.isEmpty())
        parts << QCoreApplication::translate("veldo::PortAdvice", "Free now: %1. Choose one in the port list.").arg(numberList(usable));
    if (const QStringList lines = portLines(ports, portsFolder, detail); !lines.isEmpty())
        parts << lines.join(u'\n');
    parts << grabberHints(processes);
    if (!anyThere)
        parts << noAdapterText(ports, portsFolder, detail);
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace veldo
