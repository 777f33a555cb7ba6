// SPDX-License-Identifier: GPL-3.0-or-later
// Times a program from launch to its first top-level window on the X display, then reads
// its resident memory once the window has settled, and ends it.
//
// Usage: veldo-launch-timer [--settle-ms N] -- program [arguments...]
// Prints one line: "<milliseconds to the window> <VmRSS in KiB>".
// Only one program should be mapping windows on the display meanwhile.
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kMapTimeout = std::chrono::seconds(20);
constexpr auto kExitTimeout = std::chrono::seconds(5);
constexpr int kDefaultSettleMs = 300;

enum class Outcome { Mapped,
                     Exited,
                     TimedOut,
                     DisplayLost };

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_window_t rootWindow(xcb_connection_t *x, int screenNumber)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    return screens.rem > 0 ? screens.data->root : XCB_NONE;
}

// Asks for a notice of every window mapped on the root. Checked, so that the server has
// taken the request before the program starts.
bool watchTopLevelMaps(xcb_connection_t *x, xcb_window_t root)
{
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    XcbReply<xcb_generic_error_t> error(
        xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask)));
    return !error;
}

bool isTopLevelMap(const xcb_generic_event_t &event)
{
    if ((event.response_type & 0x7f) != XCB_MAP_NOTIFY)
        return false;
    // Menus and tooltips bypass the window manager; the window a user sees does not.
    return !reinterpret_cast<const xcb_map_notify_event_t &>(event).override_redirect;
}

// Blocks on the display connection and the child's pidfd until a top-level window maps,
// the child exits or the deadline passes.
Outcome waitForMap(xcb_connection_t *x, int childFd, Clock::time_point deadline)
{
    bool childExited = false;
    for (;;) {
        while (XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(x)}) {
            if (isTopLevelMap(*event))
                return Outcome::Mapped;
        }
        if (xcb_connection_has_error(x))
            return Outcome::DisplayLost;
        if (childExited)
            return Outcome::Exited;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Outcome::TimedOut;
        pollfd fds[] = {{xcb_get_file_descriptor(x), POLLIN, 0}, {childFd, POLLIN, 0}};
        if (::poll(fds, 2, int(left)) < 0 && errno != EINTR)
            return Outcome::DisplayLost;
        childExited = fds[1].revents != 0;
    }
}

pid_t launch(char **argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Our standard output carries the figures; the program's would get in the way.
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execvp(argv[0], argv);
        std::fprintf(stderr, "veldo-launch-timer: cannot run %s: %s\n", argv[0], std::strerror(errno));
        ::_exit(127);
    }
    return pid;
}

// A descriptor that polls readable once the child has exited. Called through syscall()
// because this glibc's header lacks C++ linkage for it.
int childExitFd(pid_t pid)
{
    return pid > 0 ? int(::syscall(SYS_pidfd_open, pid, 0)) : -1;
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

void stop(pid_t pid, int childFd)
{
    ::kill(pid, SIGTERM);
    pollfd exited{childFd, POLLIN, 0};
    if (::poll(&exited, 1, int(std::chrono::milliseconds(kExitTimeout).count())) <= 0)
        ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

int usage()
{
    std::fprintf(stderr, "usage: veldo-launch-timer [--settle-ms N] -- program [arguments...]\n");
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    int settleMs = kDefaultSettleMs;
    int arg = 1;
    if (arg + 1 < argc && std::strcmp(argv[arg], "--settle-ms") == 0) {
        settleMs = std::atoi(argv[arg + 1]);
        arg += 2;
    }
    if (arg >= argc || std::strcmp(argv[arg], "--") != 0 || arg + 1 >= argc || settleMs < 0)
        return usage();
    char **program = argv + arg + 1;

    int screenNumber = 0;
    xcb_connection_t *x = xcb_connect(nullptr, &screenNumber);
    const xcb_window_t root = xcb_connection_has_error(x) ? XCB_NONE : rootWindow(x, screenNumber);
    if (root == XCB_NONE || !watchTopLevelMaps(x, root)) {
        std::fprintf(stderr, "veldo-launch-timer: cannot watch the display\n");
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const pid_t pid = launch(program);
    const int childFd = childExitFd(pid);
    if (childFd < 0) {
        std::fprintf(stderr, "veldo-launch-timer: cannot start %s: %s\n", program[0], std::strerror(errno));
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        return 1;
    }
    const Outcome outcome = waitForMap(x, childFd, start + kMapTimeout);
    const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
    if (outcome != Outcome::Mapped) {
        const char *why = outcome == Outcome::Exited   ? "exited before showing a window"
                        : outcome == Outcome::TimedOut ? "showed no window in time"
                                                       : "lost the display";
        std::fprintf(stderr, "veldo-launch-timer: %s %s\n", program[0], why);
        stop(pid, childFd);
        return 2;
    }

    // The window's first paint and late allocations land after the map; the same pause for
    // every program keeps the memory figures comparable.
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const long rss = residentKiB(pid);
    stop(pid, childFd);
    xcb_disconnect(x);
    if (rss < 0) {
        std::fprintf(stderr, "veldo-launch-timer: %s exited before its memory was read\n", program[0]);
        return 2;
    }
    std::printf("%.1f %ld\n", elapsed.count(), rss);
    return 0;
}
