// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>

namespace veldo::test {

// The user "nobody": root's tests drop to it to meet the permission checks that root skips.
inline constexpr uid_t kNobodyUid = 65534;
inline constexpr gid_t kNogroupGid = 65534;

struct ChildSetup {
    bool dropToNobody = false;                 // as root: no supplementary groups, then nobody:nogroup
    std::optional<unsigned long> fileSizeLimit{}; // RLIMIT_FSIZE in bytes; SIGXFSZ ignored
};

// Runs body in a forked child set up as asked and returns its exit status, or -1 when the
// child could not be started, could not be set up, or did not exit normally. The body must
// return quickly and touch only what it was handed: the child has one thread.
int runInChild(const std::function<int()> &body, ChildSetup setup = {});

// Whether this process runs as root, so that a child can drop to nobody.
bool isRoot();

} // namespace veldo::test
