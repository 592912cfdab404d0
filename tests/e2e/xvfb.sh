# xvfb.sh - sourced by the end-to-end tests: a private X display, and helpers to drive and
# photograph a window on it.

# Starts Xvfb on the first free display from 90 on and exports DISPLAY; stops it on exit.
start_xvfb() {
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    tries=0
    until xdotool getdisplaygeometry >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -lt 100 ] || { echo "Xvfb did not start"; exit 1; }
        sleep 0.1
    done
}

stop_xvfb() {
    [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
}

# Waits for a visible window with the given title; prints its id.
wait_window() {
    xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

window_hash() {
    import -window "$1" rgb:- 2>/dev/null | md5sum | cut -c1-32
}

# Waits until the window's picture is no longer the one given (a page has changed).
wait_change() {
    tries=0
    while [ "$(window_hash "$1")" = "$2" ]; do
        tries=$((tries + 1))
        [ $tries -lt 100 ] || { echo "the window did not change"; return 1; }
        sleep 0.1
    done
}

# Presses a key and waits for the window to show something else.
key_and_wait() {
    before=$(window_hash "$1")
    xdotool key "$2"
    wait_change "$1" "$before"
}

# Waits for a child process to end, at most $2 seconds; sets exit_status to its status, or to
# "timeout". (Not in a command substitution: only this shell can wait for its children.)
# An ended child stays a zombie until it is waited for, so "still there" means "not a zombie".
wait_exit() {
    tries=0
    while kill -0 "$1" 2>/dev/null && [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" != Z ]; do
        tries=$((tries + 1))
        if [ $tries -ge $(($2 * 10)) ]; then
            kill "$1"
            exit_status=timeout
            return 0
        fi
        sleep 0.1
    done
    if wait "$1"; then exit_status=0; else exit_status=$?; fi
}
