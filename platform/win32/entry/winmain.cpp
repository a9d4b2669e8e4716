// The program entry of brumby.exe: runs the player and ends the process with its result.
#include <windows.h>

#include "app/brumby.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { ExitProcess(static_cast<UINT>(app::brumbyMain())); }
