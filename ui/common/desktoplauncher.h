#pragma once

#include "writtenfile.h"

// The desktop's programs as the running program starts them (writtenfile.h).
//
// Nothing is started until the program chooses the system's launcher at start (use_launcher): windows built by
// tests, benchmarks and other programs start no mail program and no file manager.
namespace desktop {

// The launcher in use: the one chosen, else one that starts nothing.
DesktopLauncher& launcher();

// Uses `launcher` from now on; null starts nothing.
void use_launcher(DesktopLauncher* launcher);

// The system's: programs found on the PATH and started detached; the folder shown through the file manager's
// D-Bus interface (the file selected) where one answers, else opened as a folder.
DesktopLauncher& system_launcher();

} // namespace desktop
