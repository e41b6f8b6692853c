/* x11owner: an X11 program that puts a text on the CLIPBOARD selection together with one more
 * target, as a password manager marks its copies; xclip can offer only one target.
 *
 *   x11owner <text> [<target name> <data>] [seconds]
 *
 * Serves the selection until another program takes it or the seconds (default 30) are over.
 * Exit codes: 0 served, 2 no display or no selection, 3 usage. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3 && argc != 4 && argc != 5) {
        fprintf(stderr, "usage: x11owner <text> [<target name> <data>] [seconds]\n");
        return 3;
    }
    const char* text = argv[1];
    const char* extraName = argc >= 4 ? argv[2] : NULL;
    const char* extraData = argc >= 4 ? argv[3] : NULL;
    const int seconds = argc == 3 ? atoi(argv[2]) : argc == 5 ? atoi(argv[4]) : 30;

    Display* display = XOpenDisplay(NULL);
    if (!display) return 2;
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom textAtom = XInternAtom(display, "TEXT", False);
    const Atom extra = extraName ? XInternAtom(display, extraName, False) : None;

    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != window) return 2;
    XFlush(display);

    const time_t end = time(NULL) + seconds;
    while (time(NULL) < end) {
        if (!XPending(display)) {
            fd_set fds;
            struct timeval wait = {0, 100000};
            FD_ZERO(&fds);
            FD_SET(ConnectionNumber(display), &fds);
            select(ConnectionNumber(display) + 1, &fds, NULL, NULL, &wait);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionClear) break;
        if (event.type != SelectionRequest) continue;
        XSelectionRequestEvent* request = &event.xselectionrequest;
        XSelectionEvent reply = {0};
        reply.type = SelectionNotify;
        reply.display = request->display;
        reply.requestor = request->requestor;
        reply.selection = request->selection;
        reply.target = request->target;
        reply.time = request->time;
        reply.property = request->property != None ? request->property : request->target;
        if (request->target == targets) {
            Atom offered[5] = {targets, utf8, XA_STRING, textAtom, extra};
            XChangeProperty(display, request->requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                            (unsigned char*)offered, extra != None ? 5 : 4);
        } else if (request->target == utf8 || request->target == XA_STRING || request->target == textAtom) {
            XChangeProperty(display, request->requestor, reply.property, request->target, 8, PropModeReplace,
                            (const unsigned char*)text, (int)strlen(text));
        } else if (extra != None && request->target == extra) {
            XChangeProperty(display, request->requestor, reply.property, request->target, 8, PropModeReplace,
                            (const unsigned char*)extraData, (int)strlen(extraData));
        } else {
            reply.property = None;
        }
        XSendEvent(display, request->requestor, False, 0, (XEvent*)&reply);
        XFlush(display);
    }
    XCloseDisplay(display);
    return 0;
}
