// How fast a window answers the window manager's ping, the check window managers use to call a
// window "not responding": a _NET_WM_PING sent every INTERVAL_MS (default 20), each timed from its
// sending to the client's reply, until SIGINT or SIGTERM.
//
//   window_ping WINDOW_ID [INTERVAL_MS]
//
// Prints every answer time in milliseconds, one a line, on standard output; a ping still
// unanswered a second after the stop counts with the time it has waited, so a hung window is
// never reported as a fast one. A summary goes to standard error.
//
// The client answers by sending the event back to the root window, for the clients that select
// the structure or substructure masks there (Qt sends it with StructureNotify and
// SubstructureRedirect). Only the notify masks are selected here: SubstructureRedirect would make
// this tool the window manager and hold every window the application maps meanwhile (a message
// box at a run's end).

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopRequested = 0;

void onStop(int)
{
    stopRequested = 1;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double quantile(std::vector<double> sorted, double q)
{
    if (sorted.empty())
        return 0;
    const size_t index = std::min(sorted.size() - 1, size_t(q * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s WINDOW_ID [INTERVAL_MS]\n", argv[0]);
        return 2;
    }
    const auto window = xcb_window_t(std::strtoul(argv[1], nullptr, 0));
    const auto interval = std::chrono::milliseconds(argc == 3 ? std::atoi(argv[2]) : 20);

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "window_ping: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    struct sigaction action {};
    action.sa_handler = onStop;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    std::unordered_map<uint32_t, Clock::time_point> pending;
    std::vector<double> answers;
    uint32_t serial = 0;
    Clock::time_point nextPing = Clock::now();
    Clock::time_point deadline {};

    for (;;) {
        const Clock::time_point now = Clock::now();
        if (stopRequested && deadline == Clock::time_point {})
            deadline = now + std::chrono::seconds(1);
        if (deadline != Clock::time_point {} && (pending.empty() || now >= deadline))
            break;
        if (!stopRequested && now >= nextPing) {
            // The serial travels in the timestamp's place: the client sends the event back as is.
            xcb_client_message_event_t event {};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = window;
            event.type = protocols;
            event.data.data32[0] = ping;
            event.data.data32[1] = ++serial;
            event.data.data32[2] = window;
            xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
            xcb_flush(connection);
            pending[serial] = now;
            nextPing += interval;
            if (nextPing < now)
                nextPing = now + interval;
        }

        const Clock::time_point wake = stopRequested ? deadline : nextPing;
        pollfd fd { xcb_get_file_descriptor(connection), POLLIN, 0 };
        const int wait = int(std::max<int64_t>(0,
            std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count() + 1));
        poll(&fd, 1, wait);
        while (xcb_generic_event_t* generic = xcb_poll_for_event(connection)) {
            if ((generic->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto* reply = reinterpret_cast<const xcb_client_message_event_t*>(generic);
                if (reply->type == protocols && reply->data.data32[0] == ping && reply->data.data32[2] == window) {
                    const auto sent = pending.find(reply->data.data32[1]);
                    if (sent != pending.end()) {
                        answers.push_back(milliseconds(Clock::now() - sent->second));
                        pending.erase(sent);
                    }
                }
            }
            std::free(generic);
        }
        if (xcb_connection_has_error(connection))
            break;
    }

    const Clock::time_point end = Clock::now();
    const size_t answered = answers.size();
    for (const auto& [id, sent] : pending)
        answers.push_back(milliseconds(end - sent));
    for (const double ms : answers)
        std::printf("%.3f\n", ms);
    std::sort(answers.begin(), answers.end());
    std::fprintf(stderr, "window_ping: %u pings, %zu answered, median %.1f ms, p95 %.1f ms, max %.1f ms\n", serial,
        answered, quantile(answers, 0.5), quantile(answers, 0.95), answers.empty() ? 0.0 : answers.back());
    xcb_disconnect(connection);
    return 0;
}
