// Whole-process start of the configurator beside bare Qt programs, in
// alternated pairs (A B A B ...), so that a drifting machine speed hits both.
//
//   bench_start command PAIRS -- A... -- B...
//       times each command from start to exit.
//   bench_start window PAIRS -- A... -- B...
//       (on an X display, e.g. under xvfb-run) times each program from start
//       until its first top-level window is mapped, then ends it; peak
//       resident memory is the kernel's figure for the process until then.
//
// Prints the median of each side and the median of the per-pair ratios A/B.
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run {
    double Seconds = 0;
    long Peak_Kib = 0;
};

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<char*>& Argv)
{
    const pid_t Child = fork();
    if (Child == 0) {
        const int Null = open("/dev/null", O_RDWR);
        dup2(Null, STDOUT_FILENO);
        dup2(Null, STDERR_FILENO);
        execv(Argv[0], Argv.data());
        _exit(127);
    }
    return Child;
}

long Reap(pid_t Child, int* Status)
{
    rusage Usage{};
    while (wait4(Child, Status, 0, &Usage) < 0 && errno == EINTR) {
    }
    return Usage.ru_maxrss;
}

Run Time_Command(const std::vector<char*>& Argv)
{
    const auto Start = Clock::now();
    const pid_t Child = Spawn(Argv);
    int Status = 0;
    Run R;
    R.Peak_Kib = Reap(Child, &Status);
    R.Seconds = std::chrono::duration<double>(Clock::now() - Start).count();
    if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) {
        std::fprintf(stderr, "bench_start: %s did not end with 0\n", Argv[0]);
        std::exit(1);
    }
    return R;
}

Run Time_Window(xcb_connection_t* X, xcb_window_t Root, const std::vector<char*>& Argv)
{
    const auto Start = Clock::now();
    const pid_t Child = Spawn(Argv);
    const int Fd = xcb_get_file_descriptor(X);
    bool Mapped = false;
    while (!Mapped) {
        while (xcb_generic_event_t* Event = xcb_poll_for_event(X)) {
            const auto* Map = reinterpret_cast<xcb_map_notify_event_t*>(Event);
            if ((Event->response_type & 0x7f) == XCB_MAP_NOTIFY && Map->event == Root && !Map->override_redirect)
                Mapped = true;
            std::free(Event);
        }
        if (Mapped)
            break;
        if (std::chrono::duration<double>(Clock::now() - Start).count() > 30) {
            std::fprintf(stderr, "bench_start: %s showed no window within 30 s\n", Argv[0]);
            kill(Child, SIGKILL);
            std::exit(1);
        }
        pollfd Wait{Fd, POLLIN, 0};
        poll(&Wait, 1, 100);
        int Status = 0;
        if (waitpid(Child, &Status, WNOHANG) == Child) {
            std::fprintf(stderr, "bench_start: %s ended before showing a window\n", Argv[0]);
            std::exit(1);
        }
    }
    Run R;
    R.Seconds = std::chrono::duration<double>(Clock::now() - Start).count();
    kill(Child, SIGKILL);
    int Status = 0;
    R.Peak_Kib = Reap(Child, &Status);
    // Let the server forget the window before the next start.
    free(xcb_get_input_focus_reply(X, xcb_get_input_focus(X), nullptr));
    while (xcb_generic_event_t* Event = xcb_poll_for_event(X))
        std::free(Event);
    return R;
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    const size_t N = Values.size();
    return N % 2 ? Values[N / 2] : (Values[N / 2 - 1] + Values[N / 2]) / 2;
}

int Usage()
{
    std::fputs("usage: bench_start command|window PAIRS -- PROGRAM_A [ARGS] -- PROGRAM_B [ARGS]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 6)
        return Usage();
    const std::string Mode = argv[1];
    const int Pairs = std::atoi(argv[2]);
    if ((Mode != "command" && Mode != "window") || Pairs < 1 || std::strcmp(argv[3], "--") != 0)
        return Usage();
    std::vector<char*> A, B;
    int I = 4;
    for (; I < argc && std::strcmp(argv[I], "--") != 0; ++I)
        A.push_back(argv[I]);
    for (++I; I < argc; ++I)
        B.push_back(argv[I]);
    if (A.empty() || B.empty())
        return Usage();
    A.push_back(nullptr);
    B.push_back(nullptr);

    xcb_connection_t* X = nullptr;
    xcb_window_t Root = 0;
    if (Mode == "window") {
        X = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(X)) {
            std::fputs("bench_start: no X display (run it under xvfb-run)\n", stderr);
            return 1;
        }
        Root = xcb_setup_roots_iterator(xcb_get_setup(X)).data->root;
        const uint32_t Mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(X, Root, XCB_CW_EVENT_MASK, &Mask);
        xcb_flush(X);
    }
    auto Measure = [&](const std::vector<char*>& Argv) {
        return Mode == "window" ? Time_Window(X, Root, Argv) : Time_Command(Argv);
    };
    // One unmeasured start of each fills the file cache.
    Measure(A);
    Measure(B);
    std::vector<double> Time_A, Time_B, Time_Ratio, Peak_A, Peak_B, Peak_Ratio;
    for (int P = 0; P < Pairs; ++P) {
        const Run Ra = Measure(A);
        const Run Rb = Measure(B);
        Time_A.push_back(Ra.Seconds * 1000);
        Time_B.push_back(Rb.Seconds * 1000);
        Time_Ratio.push_back(Ra.Seconds / Rb.Seconds);
        Peak_A.push_back(double(Ra.Peak_Kib));
        Peak_B.push_back(double(Rb.Peak_Kib));
        Peak_Ratio.push_back(double(Ra.Peak_Kib) / double(Rb.Peak_Kib));
    }
    std::printf("%s start, %d alternated pairs (medians)\n", Mode.c_str(), Pairs);
    std::printf("  A: %s\n  B: %s\n", A[0], B[0]);
    std::printf("  time   A %8.1f ms   B %8.1f ms   A/B %.2f\n", Median(Time_A), Median(Time_B), Median(Time_Ratio));
    std::printf("  peak   A %8.0f KiB  B %8.0f KiB  A/B %.2f\n", Median(Peak_A), Median(Peak_B), Median(Peak_Ratio));
    if (X)
        xcb_disconnect(X);
    return 0;
}
