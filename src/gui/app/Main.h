#pragma once

#include "platform/HandOver.h"

struct PlatformServices;

// The program's own start: builds the main window, prepares it, fills the lists and runs the
// event loop. Returns the process exit code. `request` is what the command line asked for, with
// the activation token this start was given: when another instance runs, a start that was asked
// for something hands it over and ends at once.
int Main(const PlatformServices& services, const HandOver& request = {});
