// Watches a program's window appear on the X server, and closes windows as their close
// box would, for the benchmarks and the soak run.
//
//   vorlo-window-probe startup RUNS PROGRAM [ARGS...]
//       Starts PROGRAM RUNS times. Each time it measures, from just before the exec, when
//       its first top-level window is mapped and when that window first shows something
//       painted (its pixels are no longer all alike), then closes it and waits for the
//       program to end. Prints one line per run and the medians, in milliseconds.
//   vorlo-window-probe close WINDOW
//       Asks the window (an X window id, decimal or 0x hex) to close, as its close box
//       would (WM_DELETE_WINDOW), until it is no longer shown.
//
// The X server is the one DISPLAY names; no window manager is needed.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(30);
constexpr auto kExitPatience = std::chrono::seconds(10);

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// One connection to the X server and its first screen's root window.
class Display {
public:
    Display() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "vorlo-window-probe: cannot open the display\n");
            std::exit(1);
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~Display() { xcb_disconnect(connection_); }

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return root_; }

    void Select(xcb_window_t window, std::uint32_t events)
    {
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &events);
    }

    // Waits for all requests so far to take effect.
    void Sync() { Reply<xcb_get_input_focus_reply_t>(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

    // The next event, or null once `deadline` has passed.
    Reply<xcb_generic_event_t> NextEvent(Clock::time_point deadline)
    {
        while (true) {
            if (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
                return Reply<xcb_generic_event_t>(event);
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0 || xcb_connection_has_error(connection_))
                return nullptr;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            ::poll(&fd, 1, static_cast<int>(std::min<long long>(left, 1)));
        }
    }

    // Forgets the events that have come so far.
    void Drain()
    {
        Sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            std::free(event);
    }

    // True once the window's pixels are not all alike: something has been painted.
    bool Painted(xcb_window_t window)
    {
        Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
        if (!geometry || geometry->width == 0 || geometry->height == 0)
            return false;
        Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
            connection_,
            xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width, geometry->height, ~0u),
            nullptr));
        if (!image)
            return false;
        const std::uint8_t* data = xcb_get_image_data(image.get());
        const int length = xcb_get_image_data_length(image.get());
        const int pixel = 4;  // 24-bit depth comes as 32-bit pixels
        for (int i = pixel; i + pixel <= length; i += pixel)
            if (std::memcmp(data, data + i, 3) != 0)
                return true;
        return false;
    }

    // True while the window exists and is shown.
    bool Viewable(xcb_window_t window)
    {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr));
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    void Close(xcb_window_t window)
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = Atom("WM_PROTOCOLS");
        message.data.data32[0] = Atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

private:
    xcb_atom_t Atom(const char* name)
    {
        Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
        return atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    xcb_connection_t* connection_;
    xcb_window_t root_;
};

struct Startup {
    double mapped = 0;
    double painted = 0;
};

// Asks the window to close until it is no longer shown, so that a request the program
// missed does not leave it running.
bool CloseUntilGone(Display& display, xcb_window_t window)
{
    for (const auto deadline = Clock::now() + kExitPatience; Clock::now() < deadline; ::usleep(200'000)) {
        if (!display.Viewable(window))
            return true;
        display.Close(window);
    }
    return false;
}

bool WaitForExit(pid_t pid, Clock::duration patience)
{
    for (const auto deadline = Clock::now() + patience; Clock::now() < deadline; ::usleep(10'000))
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
    return false;
}

std::optional<Startup> MeasureStartup(Display& display, char** program)
{
    display.Drain();

    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(program[0], program);
        std::perror("exec");
        ::_exit(127);
    }
    std::optional<Startup> measured;
    xcb_window_t window = XCB_WINDOW_NONE;
    const auto deadline = start + kPatience;
    while (window == XCB_WINDOW_NONE) {
        const auto event = display.NextEvent(deadline);
        if (!event)
            break;
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
        if (map->override_redirect || map->event != display.root())
            continue;
        window = map->window;
        measured = Startup{Ms(Clock::now() - start), 0};
    }
    if (measured) {
        while (!display.Painted(window) && Clock::now() < deadline)
            ::usleep(1000);
        measured->painted = Ms(Clock::now() - start);
        CloseUntilGone(display, window);
    }
    if (!WaitForExit(pid, kExitPatience)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return measured;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Startups(int runs, char** program)
{
    // One connection throughout: an X server whose last client leaves resets itself.
    Display display;
    display.Select(display.root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    display.Sync();
    std::vector<double> mapped, painted;
    for (int run = 0; run < runs; ++run) {
        const std::optional<Startup> startup = MeasureStartup(display, program);
        if (!startup) {
            std::fprintf(stderr, "vorlo-window-probe: no window appeared\n");
            return 1;
        }
        std::printf("run %d: mapped %.1f ms, painted %.1f ms\n", run + 1, startup->mapped, startup->painted);
        mapped.push_back(startup->mapped);
        painted.push_back(startup->painted);
    }
    std::printf("median: mapped %.1f ms, painted %.1f ms\n", Median(mapped), Median(painted));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "startup" && argc > 3)
        return Startups(std::max(1, std::atoi(argv[2])), argv + 3);
    if (command == "close" && argc == 3) {
        Display display;
        if (CloseUntilGone(display, static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0))))
            return 0;
        std::fprintf(stderr, "vorlo-window-probe: the window did not close\n");
        return 1;
    }
    std::fprintf(stderr, "usage: vorlo-window-probe startup RUNS PROGRAM [ARGS...]\n"
                         "       vorlo-window-probe close WINDOW\n");
    return 2;
}
