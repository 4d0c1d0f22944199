// Notices when the program's window is destroyed behind its back (not through
// the window manager's close button, which freeglut reports itself): X then
// answers requests on the window with BadWindow or BadDrawable errors, which
// would otherwise end the process with Xlib's default error exit.
#pragma once

// Installs an X error handler that calls `onLost` for BadWindow and
// BadDrawable errors and passes every other error to the previous handler.
// Call after the window exists.
void watchWindowLoss(void (*onLost)());
