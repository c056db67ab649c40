#include <windows.h>

#include "app/ovApp.h"
#include "app/ovSingleInstance.h"
#include "app/ovStartup.h"
#include "base/Paths.h"
#include "engine/ovWinSnap.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  if (HandOverToFirstCopy(base::ModulePath(nullptr))) return 0;
  const int exitCode = RunSkimlet(showCommand);
  // Everything is saved and the windows are gone; a conversion library that never returned would hold the exit.
  if (ConversionStillRunning()) ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
  return exitCode;
}
