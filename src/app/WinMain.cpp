#include <windows.h>

#include "app/ovApp.h"
#include "app/ovSingleInstance.h"
#include "app/ovStartup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  if (HandOverToFirstCopy(ModuleFileName(nullptr))) return 0;
  return RunSkimlet(showCommand);
}
