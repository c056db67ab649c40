// Stand-ins for the conversion library, one behaviour per build (STUB_KIND), for the tests of the caller.
#include <windows.h>

#include <cstdint>
#include <stdexcept>

#define STUB_RETURNS_0x100 1     // low byte zero: a "false" with upper bytes set
#define STUB_RETURNS_HIGH_TRUE 2 // low byte one under garbage upper bytes: "true"; writes the PNG file
#define STUB_FAULTS 3            // an access violation inside the call
#define STUB_THROWS 4            // a C++ exception out of the call
#define STUB_WRONG_EXPORT 5      // exports another name only
#define STUB_DIVIDES_BY_ZERO 6   // an integer division fault
#define STUB_HANGS 7             // never returns
#define STUB_HANGS_IN_DLLMAIN 8  // never finishes loading
#define STUB_RAISES 9            // RaiseException with an application's own code
#define STUB_BREAKS 10           // a debugger break
#define STUB_RECURSES 11         // recursion without end: a stack overflow

namespace {
volatile int gZero = 0;

#if STUB_KIND == STUB_RECURSES
int Recurse(int depth) {
  volatile char frame[256];
  frame[0] = static_cast<char>(depth);
  if (depth < 0) return 0;  // never: depth only grows
  return Recurse(depth + 1) + frame[0];  // not a tail call
}
#endif
}  // namespace

#if STUB_KIND == STUB_HANGS_IN_DLLMAIN
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) Sleep(INFINITE);
  return TRUE;
}
#endif

#if STUB_KIND == STUB_WRONG_EXPORT
extern "C" __declspec(dllexport) std::uint32_t WINAPI ConvertBmpToPng(const wchar_t*, const wchar_t*) { return 1; }
#else
extern "C" __declspec(dllexport) std::uint32_t WINAPI ConvertBMP2PNG(const wchar_t* bmp, const wchar_t* png) {
  (void)bmp;
#if STUB_KIND == STUB_RETURNS_0x100
  (void)png;
  return 0x100;
#elif STUB_KIND == STUB_RETURNS_HIGH_TRUE
  HANDLE f = CreateFileW(png, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return 0xFFFFFF01u;
#elif STUB_KIND == STUB_FAULTS
  (void)png;
  *reinterpret_cast<volatile int*>(static_cast<std::uintptr_t>(gZero) + 16) = 1;
  return 1;
#elif STUB_KIND == STUB_THROWS
  (void)png;
  throw std::runtime_error("conversion failed");
#elif STUB_KIND == STUB_DIVIDES_BY_ZERO
  (void)png;
  return static_cast<std::uint32_t>(1000 / gZero);
#elif STUB_KIND == STUB_HANGS
  (void)png;
  Sleep(INFINITE);
  return 1;
#elif STUB_KIND == STUB_HANGS_IN_DLLMAIN
  (void)png;
  return 1;
#elif STUB_KIND == STUB_RAISES
  (void)png;
  RaiseException(0xE0001234u, 0, 0, nullptr);
  return 1;
#elif STUB_KIND == STUB_BREAKS
  (void)png;
  DebugBreak();
  return 1;
#elif STUB_KIND == STUB_RECURSES
  (void)png;
  return static_cast<std::uint32_t>(Recurse(gZero));
#endif
}
#endif
