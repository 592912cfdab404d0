/* mapwait.c - starts a program and reports how long it took until a window with the given title
 * was mapped on the X display, and the program's peak resident memory by then.
 *
 *   mapwait TITLE PROGRAM [ARG...]
 *
 * Prints "<milliseconds> <peak resident KiB>" and leaves the program running; its process id is
 * written to standard error as "pid <n>" so that the caller can end it. Exits 1 when no such
 * window shows within 60 seconds. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

/* The peak resident set of a process and of its children that are still running under it is
 * what /proc reports as VmHWM for the process itself; for a wrapper such as wine, the largest. */
static long peak_kib(pid_t pid) {
    char path[64], line[256];
    long kib = -1;
    FILE* f;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    if (!(f = fopen(path, "r"))) return -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "VmHWM:", 6) == 0) kib = strtol(line + 6, NULL, 10);
    fclose(f);
    return kib;
}

/* True when the window, or a window it was reparented into, carries the title. */
static int has_title(Display* d, Window w, const char* title) {
    char* name = NULL;
    int match = 0;
    if (XFetchName(d, w, &name) && name) {
        match = strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

int main(int argc, char** argv) {
    Display* d;
    pid_t pid;
    double start;
    if (argc < 3) {
        fprintf(stderr, "usage: mapwait TITLE PROGRAM [ARG...]\n");
        return 2;
    }
    if (!(d = XOpenDisplay(NULL))) {
        fprintf(stderr, "mapwait: no X display\n");
        return 2;
    }
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    start = now_ms();
    pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    fprintf(stderr, "pid %d\n", (int)pid);
    for (;;) {
        XEvent e;
        while (!XPending(d)) {
            fd_set fds;
            struct timeval tv = {1, 0};
            FD_ZERO(&fds);
            FD_SET(ConnectionNumber(d), &fds);
            select(ConnectionNumber(d) + 1, &fds, NULL, NULL, &tv);
            if (now_ms() - start > 60000) return 1;
        }
        XNextEvent(d, &e);
        /* The title may be set just after the map; look again once the event arrives. */
        if (e.type == MapNotify && has_title(d, e.xmap.window, argv[1])) {
            const double ms = now_ms() - start;
            printf("%.1f %ld\n", ms, peak_kib(pid));
            return 0;
        }
    }
}
