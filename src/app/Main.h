#pragma once

struct PlatformServices;

// The program's own start: builds the main window, prepares it, fills the lists and runs the
// event loop. Returns the process exit code.
int Main(const PlatformServices& services);
