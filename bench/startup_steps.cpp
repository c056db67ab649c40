// Times Skimlet's start-up step by step, in one process: the same steps as RunSkimlet, in its order, with the main
// window's creation handler split into its parts. Started once per figure (a second round in the same process would
// find the classes registered and the libraries loaded), by bench/startup_steps.sh, which takes the medians.
//   bench_startup_steps.exe [--dll-cost]
// Prints key=value lines:
//   before_main_ms          process creation (as the system recorded it) to the first line of wWinMain: loading
//                           the executable and its libraries, the runtime's initialisation
//   step_<name>_ms          each step; dlls_<name> names the libraries that step loaded, if any
//   total_ms                process creation to the end of the first paint, less the time this program spent on
//                           its own look-ups and printing; the steps named after_ come after it
//   dll_count, dlls         every library in the process at the end; exe_bytes the size of this program's file
//   cost_<library>_ms       with --dll-cost: loading each of a few libraries that the steps did not load, after
//                           them (what one more library would cost)
// It is linked like skimlet.exe (the same layers and system libraries, nothing of the test support), so it loads the
// same libraries.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/ovApp.h"
#include "app/ovEmpty.h"
#include "app/ovFormAbout.h"
#include "app/ovLinks.h"
#include "app/ovMainForm.h"
#include "base/Paths.h"
#include "gui/Application.h"

namespace {

double NowMs() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Milliseconds since the system created this process.
double SinceProcessCreation() {
  FILETIME created{}, exited{}, kernel{}, user{}, now{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  ::GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '_';
  return out;
}

// The libraries loaded in this process, by base name in lower case.
std::vector<std::string> LoadedLibraries() {
  std::vector<HMODULE> modules(512);
  DWORD needed = 0;
  if (!::EnumProcessModules(::GetCurrentProcess(), modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                            &needed)) {
    return {};
  }
  modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
  std::vector<std::string> names;
  for (HMODULE module : modules) {
    const std::wstring path = base::ModulePath(module);
    std::string narrow = Narrow(path.substr(path.find_last_of(L"\\/") + 1));
    for (char& c : narrow) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    names.push_back(narrow);
  }
  return names;
}

// Prints each step's time and the libraries it loaded. The look-up of the libraries is not counted in any step.
class StepClock {
 public:
  StepClock() {
    const double start = NowMs();
    for (const auto& name : LoadedLibraries()) seen_.insert(name);
    last_ = NowMs();
    uncounted_ = last_ - start;
  }

  void Mark(const char* step) {
    const double now = NowMs();
    const double elapsed = now - last_;
    std::printf("step_%s_ms=%.2f\n", step, elapsed);
    std::string loaded;
    for (const auto& name : LoadedLibraries()) {
      if (seen_.insert(name).second) loaded += (loaded.empty() ? "" : " ") + name;
    }
    if (!loaded.empty()) std::printf("dlls_%s=%s\n", step, loaded.c_str());
    last_ = NowMs();
    uncounted_ += last_ - now;
  }
  // The time spent looking up libraries and printing, which no step counts.
  double Uncounted() const { return uncounted_; }

 private:
  std::set<std::string> seen_;
  double last_ = 0;
  double uncounted_ = 0;
};

StepClock* stepClock = nullptr;

// The main window with its creation handler's parts timed one by one (the same calls as TovFrmMain's own).
class TimedMainForm : public TovFrmMain {
 public:
  TimedMainForm() {
    OnCreate = [this] {
      stepClock->Mark("main_window");  // class, window, font, size: up to the creation handler
      CreateControls();
      stepClock->Mark("main_controls");
      CreateMenus();
      stepClock->Mark("main_menus");
      CreateTrayIcon();
      stepClock->Mark("main_tray_icon");
      FormCreate();
      stepClock->Mark("main_lists_placement_balloon");
    };
  }
};

long long FileBytes(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void DllCosts() {
  for (const wchar_t* name : {L"uxtheme.dll", L"ole32.dll", L"oleaut32.dll", L"windowscodecs.dll", L"version.dll"}) {
    if (::GetModuleHandleW(name)) continue;
    const double start = NowMs();
    const HMODULE module = ::LoadLibraryW(name);
    const double elapsed = NowMs() - start;
    if (module) std::printf("cost_%s_ms=%.2f\n", Narrow(name).c_str(), elapsed);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int showCommand) {
  const double beforeMain = SinceProcessCreation();
  std::printf("before_main_ms=%.2f\n", beforeMain);
  StepClock steps;
  stepClock = &steps;

  // As RunSkimlet, step by step.
  gui::Application& app = gui::Application::Instance();
  steps.Mark("application_object");
  TimedMainForm mainForm;
  steps.Mark("main_object");  // its tray icon makes the process's first window, a hidden one
  TovFrmAbout aboutForm;
  steps.Mark("about_object");
  {
    TovEmpty overlay;  // its window comes after the first paint
    ovEmpty = &overlay;
    TovApp paths;
    ovApp = &paths;
    TovProject project;
    ovProject = &project;
    app.SetExceptionHandler(ReportException);
    steps.Mark("overlay_paths_product_handler");

    app.SetMainForm(&mainForm);
    ovFrmMain = &mainForm;
    mainForm.Create();
    steps.Mark("main_relayout");
    ovFrmAbout = &aboutForm;
    mainForm.Show(showCommand);
    steps.Mark("show");
    app.ProcessMessages();  // the first paint of the window and its controls
    steps.Mark("first_paint");
    std::printf("total_ms=%.2f\n", SinceProcessCreation() - steps.Uncounted());
    // After the window has shown: the hints and the two hidden windows.
    mainForm.RegisterHints();
    steps.Mark("after_hints");
    aboutForm.Create();
    steps.Mark("after_about_window");
    overlay.Create();
    steps.Mark("after_overlay_window");

    const auto libraries = LoadedLibraries();
    std::string names;
    for (const auto& name : libraries) names += (names.empty() ? "" : " ") + name;
    std::printf("dll_count=%zu\ndlls=%s\n", libraries.size(), names.c_str());
    std::printf("exe_bytes=%lld\n", FileBytes(base::ModulePath(nullptr)));
    if (commandLine && std::wcsstr(commandLine, L"--dll-cost")) DllCosts();
    std::fflush(stdout);

    app.SetExceptionHandler(nullptr);
    ovProject = nullptr;
    ovApp = nullptr;
    ovEmpty = nullptr;
  }
  app.SetMainForm(nullptr);
  ovFrmAbout = nullptr;
  ovFrmMain = nullptr;
  return 0;
}
