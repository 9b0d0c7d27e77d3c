// Program entry: the application title, the four windows in their order, the
// message loop. No command-line arguments are read.
#include <windows.h>

#include "QPadU.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return RunApplication(instance, showCommand);
}
