#include "platform/window_watch.h"

#include <X11/Xlib.h>
#include <dlfcn.h>

// libX11 is already loaded with freeglut; looking the setter up at run time
// keeps the link line free of a direct X11 dependency.
using ErrorHandler = int (*)(Display *, XErrorEvent *);
using SetErrorHandler = ErrorHandler (*)(ErrorHandler);

static void (*lostCallback)() = nullptr;
static ErrorHandler previousHandler = nullptr;

static int onXError(Display *display, XErrorEvent *error)
{
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        if (lostCallback) lostCallback();
        return 0;
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

void watchWindowLoss(void (*onLost)())
{
    auto setHandler = reinterpret_cast<SetErrorHandler>(dlsym(RTLD_DEFAULT, "XSetErrorHandler"));
    if (!setHandler) return;
    lostCallback = onLost;
    previousHandler = setHandler(onXError);
}
