// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"

#include <csignal>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace veldo::test {

namespace {

bool setUp(const ChildSetup &setup)
{
    if (setup.fileSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{*setup.fileSizeLimit, *setup.fileSizeLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
    }
    if (setup.dropToNobody)
        return ::setgroups(0, nullptr) == 0 && ::setgid(kNogroupGid) == 0 && ::setuid(kNobodyUid) == 0;
    return true;
}

} // namespace

int runInChild(const std::function<int()> &body, ChildSetup setup)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(setUp(setup) ? body() : 125);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 125)
        return -1;
    return WEXITSTATUS(status);
}

bool isRoot()
{
    return ::geteuid() == 0;
}

} // namespace veldo::test
