// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up time of a window program: from the moment its process is started
// to the moment the X server maps its top-level window of the given title.
//
//   startup_probe [--name TITLE] [--settle MS] [--timeout S] -- COMMAND [ARGS...]
//
// The probe watches the root window before it starts the command, so no map
// can slip by, and needs no window manager (without one, top-level windows
// are children of the root). Once the window is mapped it waits --settle ms
// for the program to draw, then asks the window to close (WM_DELETE_WINDOW)
// and waits for the command to end; a command that does not end in time is
// killed with its process group. Prints "map_ms=..." and "exit=..." on stdout;
// exits non-zero when no such window appeared or the command failed. The
// command finds the start time, in nanoseconds of CLOCK_MONOTONIC, in
// $STARTUP_PROBE_T0_NS.

#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void die(const char *message)
{
    std::fprintf(stderr, "startup_probe: %s\n", message);
    std::exit(2);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        die("cannot intern an atom");
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

std::string property(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                     xcb_atom_t type)
{
    const auto cookie = xcb_get_property(connection, 0, window, name, type, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    std::string value(static_cast<const char *>(xcb_get_property_value(reply)),
                      size_t(xcb_get_property_value_length(reply)));
    std::free(reply);
    return value;
}

struct Options {
    std::string name = "Strelkavo";
    int settleMs = 500;
    int timeoutS = 60;
    std::vector<char *> command;
};

Options parse(int argc, char *argv[])
{
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            die("an option lacks its value");
        if (arg == "--name")
            options.name = argv[++i];
        else if (arg == "--settle")
            options.settleMs = std::atoi(argv[++i]);
        else if (arg == "--timeout")
            options.timeoutS = std::atoi(argv[++i]);
        else
            die("usage: startup_probe [--name TITLE] [--settle MS] [--timeout S] -- COMMAND...");
    }
    for (; i < argc; ++i)
        options.command.push_back(argv[i]);
    if (options.command.empty())
        die("no command given");
    options.command.push_back(nullptr);
    return options;
}

// The exit status once the child has ended, waiting at most until deadline.
std::optional<int> reap(pid_t child, Clock::time_point deadline)
{
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (done < 0 && errno != EINTR)
            die("waitpid failed");
        if (Clock::now() >= deadline)
            return std::nullopt;
        usleep(1000);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = parse(argc, argv);

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        die("cannot connect to the X server ($DISPLAY)");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t watched =
        xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask);
    if (xcb_generic_error_t *error = xcb_request_check(connection, watched)) {
        std::free(error);
        die("cannot watch the root window");
    }
    const xcb_atom_t netWmName = atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = atom(connection, "WM_DELETE_WINDOW");

    const Clock::time_point started = Clock::now();
    const pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        setpgid(0, 0);
        // Lets a program that times its own steps relate them to its start.
        const auto startedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch());
        setenv("STARTUP_PROBE_T0_NS", std::to_string(startedNs.count()).c_str(), 1);
        execvp(options.command[0], options.command.data());
        std::perror("startup_probe: exec");
        _exit(127);
    }
    setpgid(child, child);

    const Clock::time_point deadline = started + std::chrono::seconds(options.timeoutS);
    xcb_window_t window = XCB_WINDOW_NONE;
    Clock::time_point mapped;
    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (window == XCB_WINDOW_NONE) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                const Clock::time_point at = Clock::now();
                std::string title = property(connection, map->window, netWmName, utf8);
                if (title.empty())
                    title = property(connection, map->window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
                if (!map->override_redirect && title == options.name) {
                    window = map->window;
                    mapped = at;
                }
            }
            std::free(event);
            if (window != XCB_WINDOW_NONE)
                break;
        }
        if (window != XCB_WINDOW_NONE)
            break;
        if (xcb_connection_has_error(connection))
            die("lost the X server");
        if (const auto status = reap(child, Clock::now())) {
            std::printf("exit=%d\n", *status);
            die("the command ended before its window was mapped");
        }
        if (Clock::now() >= deadline) {
            kill(-child, SIGKILL);
            reap(child, Clock::now() + std::chrono::seconds(5));
            die("no window appeared in time");
        }
        poll(&watch, 1, 5);
    }
    std::printf("map_ms=%.2f\n",
                std::chrono::duration<double, std::milli>(mapped - started).count());
    std::fflush(stdout);

    usleep(useconds_t(options.settleMs) * 1000);
    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = protocols;
    close.data.data32[0] = deleteWindow;
    close.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&close));
    xcb_flush(connection);

    std::optional<int> status = reap(child, Clock::now() + std::chrono::seconds(10));
    if (!status) {
        std::fprintf(stderr, "startup_probe: the command did not close; terminating it\n");
        kill(-child, SIGTERM);
        status = reap(child, Clock::now() + std::chrono::seconds(5));
        if (!status) {
            kill(-child, SIGKILL);
            status = reap(child, Clock::now() + std::chrono::seconds(5));
        }
    }
    std::printf("exit=%d\n", status.value_or(-1));
    xcb_disconnect(connection);
    return status == 0 ? 0 : 1;
}
