#pragma once

class CommandRouter;
class frmQEL;

// Builds the window's menu bar into `w`'s menu and action members and binds every item to its
// handler on `w`, or to `router` for the commands the window has no handler of its own for.
void buildMainMenus(frmQEL& w, CommandRouter& router);
