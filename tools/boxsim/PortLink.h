// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace veldo {

struct LinkResult {
    bool ok = true;
    QString reason;
};

// The override link comN -> device in a ports folder, which makes a device appear as
// Com N. An existing entry is replaced only when it is a link to a device that is gone (a
// user's link to an unplugged adapter); never a file or a live link. On destruction the
// link is removed and a replaced one put back, unless someone has re-pointed it meanwhile.
class PortLink {
public:
    PortLink() = default;
    ~PortLink();
    PortLink(const PortLink &) = delete;
    PortLink &operator=(const PortLink &) = delete;

    LinkResult make(const QString &portsFolder, int port, const QString &device);
    // True when a link of ours was there and is gone now, the replaced one back in its place.
    bool remove();
    QString path() const { return m_path; }
    // Where the link that was replaced led; empty when none was.
    QString borrowed() const { return m_borrowed; }

private:
    QString m_path;
    QString m_device;
    QString m_borrowed;
};

} // namespace veldo
