// Watches an X server for the whole-program benchmarks, with plain xcb so that it
// costs the same for every program measured.
//
//   window_probe launch PROGRAM [ARGS...]
//     Starts PROGRAM and prints "MAP_MS EXPOSE_MS": the milliseconds from the exec to
//     the first MapNotify of a top-level window, and to the first Expose of that
//     window (the moment its first frame is asked for). Then ends PROGRAM.
//   window_probe digest
//     Prints a hash of the whole screen's pixels, to tell whether anything changed.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int fail(const char* what) {
    std::fprintf(stderr, "window_probe: %s\n", what);
    return 1;
}

void endChild(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(20000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

int launch(xcb_connection_t* c, xcb_screen_t* screen, char** argv) {
    // Every window of the program is a child of the root, so one subscription sees
    // them being created and mapped.
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &rootMask);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // round trip

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0) return fail("fork failed");
    if (pid == 0) {
        execvp(argv[0], argv);
        std::_Exit(127);
    }

    double mapMs = -1, exposeMs = -1;
    xcb_window_t mapped = XCB_NONE;
    const int fd = xcb_get_file_descriptor(c);
    while (exposeMs < 0 && nowMs() - start < 30000) {
        while (xcb_generic_event_t* ev = xcb_poll_for_event(c)) {
            const double t = nowMs() - start;
            switch (ev->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                // Asked for before the program maps it, which comes much later than
                // the creation, so the first Expose is not missed.
                auto* e = reinterpret_cast<xcb_create_notify_event_t*>(ev);
                const uint32_t mask = XCB_EVENT_MASK_EXPOSURE;
                xcb_change_window_attributes(c, e->window, XCB_CW_EVENT_MASK, &mask);
                xcb_flush(c);
                break;
            }
            case XCB_MAP_NOTIFY: {
                auto* e = reinterpret_cast<xcb_map_notify_event_t*>(ev);
                if (mapped == XCB_NONE && e->event == screen->root) {
                    mapped = e->window;
                    mapMs = t;
                }
                break;
            }
            case XCB_EXPOSE: {
                auto* e = reinterpret_cast<xcb_expose_event_t*>(ev);
                if (e->window == mapped) exposeMs = t;
                break;
            }
            default:
                break;
            }
            free(ev);
        }
        if (exposeMs >= 0) break;
        if (xcb_connection_has_error(c)) break;
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return fail("the program ended before its window showed");
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 50);
    }
    endChild(pid);
    if (mapMs < 0) return fail("no window was mapped within 30 s");
    // A lost Expose race leaves the map time as the best estimate, marked as such.
    std::printf("%.1f %.1f%s\n", mapMs, exposeMs < 0 ? mapMs : exposeMs,
                exposeMs < 0 ? " no-expose" : "");
    return 0;
}

int digest(xcb_connection_t* c, xcb_screen_t* screen) {
    xcb_get_image_reply_t* img =
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0,
                                          screen->width_in_pixels, screen->height_in_pixels, ~0u),
                            nullptr);
    if (!img) return fail("cannot read the screen");
    const uint8_t* data = xcb_get_image_data(img);
    const int length = xcb_get_image_data_length(img);
    uint64_t h = 1469598103934665603ull; // FNV-1a
    for (int i = 0; i < length; ++i)
        h = (h ^ data[i]) * 1099511628211ull;
    std::printf("%016llx\n", static_cast<unsigned long long>(h));
    free(img);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return fail("usage: window_probe launch PROGRAM [ARGS...] | digest");
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return fail("cannot connect to the X server");
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    int rc = 1;
    if (std::strcmp(argv[1], "launch") == 0 && argc > 2)
        rc = launch(c, screen, argv + 2);
    else if (std::strcmp(argv[1], "digest") == 0)
        rc = digest(c, screen);
    else
        rc = fail("unknown command");
    xcb_disconnect(c);
    return rc;
}
