// Program entry: the application title, the four windows in their order, the
// message loop; a file named on the command line opens after start-up.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "QPadU.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // The runtime splits the command line by the system's rules (quotes, backslashes).
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    return RunApplication(instance, showCommand, args);
}
