// Start-up to map: how long a program takes from exec until the X server maps its window, the
// moment a person can see it. Runs each program in turn (interleaved, so every program sees the
// same machine state), each run with a fresh, empty XDG_CONFIG_HOME, and prints one line a run
// ("PROGRAM MILLISECONDS") and the median of each program at the end.
//
//   maptime [--runs N] [--warmup N] [--data-home DIR] PROGRAM [[--data-home DIR] PROGRAM]...
//
// --data-home gives the program after it DIR as its XDG_DATA_HOME (the others keep the one
// maptime has), set in the environment of the exec itself, so nothing runs in between; such a
// program is named "XDG_DATA_HOME=DIR PROGRAM" in the output. The same program may be given more
// than once, with different data folders.
//
// The program runs on $DISPLAY, where nothing else starts meanwhile. The first top-level window
// made since exec that is mapped counts: under a reparenting window manager that is the frame
// around the program's window, mapped last; without one the program's window itself (the hidden
// windows a toolkit makes are never mapped). The program is killed once it is seen.
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "maptime: %s\n", message.c_str());
    std::exit(EXIT_FAILURE);
}

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

class Display {
public:
    Display() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            fail("cannot open the display $DISPLAY");
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        Reply<xcb_generic_error_t> error(xcb_request_check(
            connection_,
            xcb_change_window_attributes_checked(connection_, root_, XCB_CW_EVENT_MASK, &mask)));
        if (error)
            fail("cannot watch the root window");
    }
    ~Display() { xcb_disconnect(connection_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return root_; }

    // The next event, or nothing once the deadline has passed.
    Reply<xcb_generic_event_t> nextEvent(Clock::time_point deadline) const {
        for (;;) {
            if (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
                return Reply<xcb_generic_event_t>(event);
            if (xcb_connection_has_error(connection_))
                fail("the display connection broke");
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return nullptr;
            pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&descriptor, 1, static_cast<int>(left.count()));
        }
    }

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

struct Program {
    std::string path;
    std::string dataHome; // empty: maptime's own XDG_DATA_HOME
    std::string name() const {
        return dataHome.empty() ? path : "XDG_DATA_HOME=" + dataHome + " " + path;
    }
};

bool startsWith(const char* text, const std::string& prefix) {
    return std::strncmp(text, prefix.c_str(), prefix.size()) == 0;
}

pid_t spawn(const Program& program, const std::string& configHome) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry)
        if (!startsWith(*entry, "XDG_CONFIG_HOME=") &&
            !(!program.dataHome.empty() && startsWith(*entry, "XDG_DATA_HOME=")))
            variables.emplace_back(*entry);
    variables.push_back("XDG_CONFIG_HOME=" + configHome);
    if (!program.dataHome.empty())
        variables.push_back("XDG_DATA_HOME=" + program.dataHome);
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string path = program.path;
    char* arguments[] = {path.data(), nullptr};
    pid_t pid = 0;
    if (const int error =
            posix_spawn(&pid, path.c_str(), nullptr, nullptr, arguments, environment.data()))
        fail("cannot start " + program.name() + ": " + std::strerror(error));
    return pid;
}

// Milliseconds from exec to the map of the program's window (or its frame).
double measureOnce(const Display& display, const Program& program) {
    char pattern[] = "/tmp/maptime-config-XXXXXX";
    if (!mkdtemp(pattern))
        fail(std::string("cannot make a settings folder: ") + std::strerror(errno));
    const std::string configHome = pattern;

    xcb_connection_t* connection = display.connection();
    std::set<xcb_window_t> created; // top-level windows made since exec, by anybody
    std::optional<double> milliseconds;

    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(program, configHome);
    const Clock::time_point deadline = start + std::chrono::seconds(20);
    while (!milliseconds) {
        Reply<xcb_generic_event_t> event = display.nextEvent(deadline);
        if (!event)
            fail(program.name() + " showed no window within 20 s");
        const Clock::time_point now = Clock::now();
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (!create->override_redirect)
                created.insert(create->window);
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event.get());
            if (map->event == display.root() && created.count(map->window))
                milliseconds = std::chrono::duration<double, std::milli>(now - start).count();
        }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    // Let the window manager forget the window before the next run starts.
    xcb_flush(connection);
    while (display.nextEvent(Clock::now() + std::chrono::milliseconds(50))) {
    }
    std::filesystem::remove_all(configHome);
    return *milliseconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int count(const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end || value < 0 || value > 10000)
        fail(std::string("not a count: ") + text);
    return static_cast<int>(value);
}

} // namespace

int main(int argc, char* argv[]) {
    int runs = 21;
    int warmup = 3;
    const char* usage = "usage: maptime [--runs N] [--warmup N] [--data-home DIR] PROGRAM...";
    std::vector<Program> programs;
    std::string dataHome;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--runs" || argument == "--warmup") && i + 1 < argc)
            (argument == "--runs" ? runs : warmup) = count(argv[++i]);
        else if (argument == "--data-home" && i + 1 < argc && argv[i + 1][0] != '\0')
            dataHome = argv[++i];
        else if (argument.rfind("--", 0) == 0)
            fail(usage);
        else
            programs.push_back({argument, std::exchange(dataHome, {})});
    }
    if (programs.empty() || runs == 0 || !dataHome.empty())
        fail(usage);

    const Display display;
    for (int run = 0; run < warmup; ++run)
        for (const Program& program : programs)
            measureOnce(display, program);
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < runs; ++run)
        for (size_t p = 0; p < programs.size(); ++p) {
            times[p].push_back(measureOnce(display, programs[p]));
            std::printf("%s %.2f\n", programs[p].name().c_str(), times[p].back());
        }
    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("median %s %.2f\n", programs[p].name().c_str(), median(times[p]));
    return EXIT_SUCCESS;
}
