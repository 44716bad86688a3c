// Starts a program on the X display named by $DISPLAY and measures how long it takes until
// the program maps its first top-level window, and its peak resident memory (the program and
// any processes it started) until a moment after that. bench/compare-startup runs it under a
// display of its own, where no window manager redirects the mapping and no other client maps
// windows: a top-level window's MapNotify on the root window is the moment it appears.
//
// usage: pelmora_startup_timer [--runs=N] [--cold] [--settle-ms=MS] [--timeout-s=S]
//            -- PROGRAM [ARGS...] [-- PROGRAM [ARGS...]]...
// Prints one line per run, then for each program in the order given "result MS KIB": the
// median time to the mapped window in ms and the median peak resident memory in KiB. A first
// run of each, not counted, warms the caches; --cold times that one run alone (a build that
// ends in the program's start, say). Several programs take turns, one run of each in every
// round, so that other load on the machine weighs on all of them alike.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long statusKb(pid_t pid, const char *field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return 0;
}

// The process and every process below it (children are listed by the thread that started them).
std::vector<pid_t> processTree(pid_t root)
{
    std::vector<pid_t> all{root};
    for (std::size_t i = 0; i < all.size(); ++i) {
        std::error_code error;
        const std::filesystem::path tasks("/proc/" + std::to_string(all[i]) + "/task");
        for (const auto &task : std::filesystem::directory_iterator(tasks, error)) {
            std::ifstream list(task.path() / "children");
            pid_t child;
            while (list >> child)
                all.push_back(child);
        }
    }
    return all;
}

long peakResidentKb(pid_t root)
{
    long sum = 0;
    for (pid_t p : processTree(root))
        sum += statusKb(p, "VmHWM:");
    return sum;
}

struct Run {
    bool ok = false;
    double ms = 0;
    long peakKb = 0;
    std::string title;
};

std::string windowTitle(xcb_connection_t *conn, xcb_window_t window)
{
    std::string title;
    const auto cookie = xcb_get_property(conn, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(conn, cookie, nullptr)) {
        title.assign(static_cast<const char *>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
        std::free(reply);
    }
    return title;
}

void stop(pid_t pid)
{
    kill(-pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

Run runOnce(xcb_connection_t *conn, char **argv, int settleMs, int timeoutS)
{
    Run run;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        setpgid(0, 0); // one group, so that the program's own helpers end with it
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    setpgid(pid, pid);

    const auto deadline = start + std::chrono::seconds(timeoutS);
    bool mapped = false;
    xcb_window_t window = 0;
    pollfd fd{xcb_get_file_descriptor(conn), POLLIN, 0};
    while (!mapped && Clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(conn)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !mapped) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!map->override_redirect) {
                    run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                    window = map->window;
                    mapped = true;
                }
            }
            std::free(event);
        }
        if (mapped || xcb_connection_has_error(conn))
            break;
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            std::fprintf(stderr, "%s ended before it showed a window\n", argv[0]);
            return run;
        }
        poll(&fd, 1, 20);
    }
    if (!mapped) {
        std::fprintf(stderr, "%s showed no window within %d s\n", argv[0], timeoutS);
        stop(pid);
        return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    run.peakKb = peakResidentKb(pid);
    run.title = windowTitle(conn, window);
    run.ok = true;
    stop(pid);
    // Windows unmapped and destroyed by the ended run must not count for the next one.
    free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    while (xcb_generic_event_t *event = xcb_poll_for_event(conn))
        std::free(event);
    return run;
}

template <typename T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    int runs = 5, settleMs = 1000, timeoutS = 60;
    bool cold = false;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--cold") == 0) {
            cold = true;
            continue;
        }
        if (std::sscanf(argv[i], "--runs=%d", &runs) == 1 || std::sscanf(argv[i], "--settle-ms=%d", &settleMs) == 1
            || std::sscanf(argv[i], "--timeout-s=%d", &timeoutS) == 1)
            continue;
        std::fprintf(stderr, "unknown option %s\n", argv[i]);
        return 2;
    }
    // Each "--" starts a program; it ends the previous one's arguments.
    std::vector<char **> programs;
    for (; i < argc; ++i)
        if (std::strcmp(argv[i], "--") == 0) {
            argv[i] = nullptr;
            programs.push_back(argv + i + 1);
        }
    const bool empty = std::any_of(programs.begin(), programs.end(), [](char **p) { return *p == nullptr; });
    if (programs.empty() || empty || runs < 1) {
        std::fprintf(stderr,
                     "usage: %s [--runs=N] [--cold] [--settle-ms=MS] [--timeout-s=S] -- PROGRAM [ARGS...] "
                     "[-- PROGRAM [ARGS...]]...\n",
                     argv[0]);
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t *conn = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "cannot open the display %s\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(conn));
    for (int s = 0; s < screenNumber; ++s)
        xcb_screen_next(&screens);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(conn, screens.data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(conn);

    std::vector<std::vector<double>> times(programs.size());
    std::vector<std::vector<long>> peaks(programs.size());
    const int first = cold ? 1 : 0;
    if (cold)
        runs = 1;
    for (int r = first; r <= runs; ++r) {
        for (size_t p = 0; p < programs.size(); ++p) {
            const Run run = runOnce(conn, programs[p], settleMs, timeoutS);
            if (!run.ok)
                return 1;
            std::printf("%s %d of %s: window \"%s\" mapped after %.1f ms, peak resident %ld KiB\n",
                        r == 0 ? "warm-up" : "run", r, programs[p][0], run.title.c_str(), run.ms, run.peakKb);
            std::fflush(stdout);
            if (r > 0) {
                times[p].push_back(run.ms);
                peaks[p].push_back(run.peakKb);
            }
        }
    }
    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("result %.1f %ld\n", median(times[p]), median(peaks[p]));
    xcb_disconnect(conn);
    return 0;
}
