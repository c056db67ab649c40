// Times programs under Wine from outside: from the moment `wine program.exe` is started (fork and exec, as a user's
// shell would) to the moment the X server maps a window of that program (the window shows on the display), then reads
// the memory of the process hosting it one second later from /proc. A Linux program (Xlib), built by the native
// preset. Wine starts the program in a process of its own (the one started here only hands it over), so the window is
// told by the program named in its process's command line.
//   bench_startup_outside <runs> <program.exe> [<program.exe> ...]   (DISPLAY and WINEPREFIX set, wineserver running)
// One untimed round first; then the programs take turns, so that a slow spell of the machine falls on each alike.
// Prints key=value lines: per program the median and every run in milliseconds, and the median VmRSS and RssAnon.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kTimeoutMs = 30000;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process id Wine records on each X window it makes (_NET_WM_PID); 0 when the window has none.
long WindowPid(Display* display, Window window) {
  static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data && format == 32 && count == 1) {
    pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data) XFree(data);
  return pid;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The file name (without folder, lower case) of the program a Linux process runs as Wine shows it: the first
// argument of its command line; empty when the process is gone.
std::string ProgramOf(long pid) {
  std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
  std::string first;
  std::getline(cmdline, first, '\0');
  return Lower(first.substr(first.find_last_of("\\/") + 1));
}

// Kilobytes of a /proc/<pid>/status field; 0 when the field is missing.
long StatusKb(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return 0;
}

struct Run {
  double ms = 0;
  long rssKb = 0;
  long anonKb = 0;
};

// Asks the window to close as a window manager would; the process is killed if it is still there half a second later
// (a program may hide to the tray instead of closing).
void Finish(Display* display, Window window, long host, pid_t pid) {
  if (window) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &close);
    XFlush(display);
  }
  for (int i = 0; i < 50 && host && kill(static_cast<pid_t>(host), 0) == 0; ++i) usleep(10000);
  if (host) kill(static_cast<pid_t>(host), SIGKILL);
  for (int i = 0; i < 50 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) usleep(10000);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  for (int i = 0; i < 500 && host && kill(static_cast<pid_t>(host), 0) == 0 && !ProgramOf(host).empty(); ++i) {
    usleep(10000);
  }
}

std::optional<Run> TimeToMap(Display* display, const std::string& program) {
  while (XPending(display)) {  // events of the previous run
    XEvent stale;
    XNextEvent(display, &stale);
  }
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    execlp("wine", "wine", program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string name = Lower(program.substr(program.find_last_of("\\/") + 1));
  Window shown = 0;
  long host = 0;
  double elapsed = 0;
  const int fd = ConnectionNumber(display);
  while (!shown && (elapsed = MsSince(start)) < kTimeoutMs) {
    if (!XPending(display)) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(fd, &readable);
      timeval wait{0, 20000};
      select(fd + 1, &readable, nullptr, nullptr, &wait);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    const long owner = WindowPid(display, event.xmap.window);
    if (owner && ProgramOf(owner) == name) {
      shown = event.xmap.window;
      host = owner;
    }
  }
  Run run{elapsed, 0, 0};
  if (shown) {
    usleep(1000000);
    run.rssKb = StatusKb(static_cast<pid_t>(host), "VmRSS");
    run.anonKb = StatusKb(static_cast<pid_t>(host), "RssAnon");
  }
  Finish(display, shown, host, pid);
  if (!shown) return std::nullopt;
  return run;
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of("\\/") + 1);
  return name.substr(0, name.find_last_of('.'));
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_startup_outside <runs> <program.exe> [<program.exe> ...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  // Unmanaged Wine windows are children of the root window: their maps arrive as the root's substructure events.
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::vector<std::string> programs(argv + 2, argv + argc);
  for (const auto& program : programs) {
    if (!TimeToMap(display, program)) {
      std::printf("error=%s showed no window\n", BaseName(program).c_str());
      XCloseDisplay(display);
      return 1;
    }
  }
  std::vector<std::vector<Run>> results(programs.size());
  for (int run = 0; run < runs; ++run) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      const auto result = TimeToMap(display, programs[p]);
      if (!result) {
        std::printf("error=%s showed no window\n", BaseName(programs[p]).c_str());
        XCloseDisplay(display);
        return 1;
      }
      results[p].push_back(*result);
    }
  }
  std::printf("runs=%d\n", runs);
  for (std::size_t p = 0; p < programs.size(); ++p) {
    const std::string name = BaseName(programs[p]);
    std::vector<double> ms;
    std::vector<long> rss, anon;
    for (const Run& r : results[p]) {
      ms.push_back(r.ms);
      rss.push_back(r.rssKb);
      anon.push_back(r.anonKb);
    }
    std::printf("%s_ms_median=%.1f\n%s_ms_all=", name.c_str(), Median(ms), name.c_str());
    for (double t : ms) std::printf("%.1f ", t);
    std::printf("\n%s_rss_kb_median=%ld\n%s_anon_kb_median=%ld\n", name.c_str(), Median(rss), name.c_str(),
                Median(anon));
  }
  XCloseDisplay(display);
  return 0;
}
