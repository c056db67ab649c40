#include <windows.h>

#include "app/ovStartup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) { return RunSkimlet(showCommand); }
