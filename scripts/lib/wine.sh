# Sourced by the scripts: a Wine prefix of the project's own and an X display to run on.

# Prints the first of the given programs that exists and can run.
tessmere_first_program() {
    local candidate
    for candidate in "$@"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            echo "$candidate"
            return
        fi
    done
    echo "none of $* found" >&2
    return 1
}

tessmere_wine_binary() {
    tessmere_first_program /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"
}

tessmere_wineserver_binary() {
    tessmere_first_program /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver "$(command -v wineserver || true)"
}

# Exports the environment every Wine run of the project uses, for the prefix in $1.
tessmere_wine_environment() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEARCH=win64
    # The Shift-JIS texts need code page 932, which Wine takes from the locale.
    export LC_ALL=ja_JP.UTF-8
    # No Mono or Gecko installer prompts when the prefix is made.
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Makes the prefix in $1 once; safe when several test runs start together.
tessmere_ensure_prefix() {
    local prefix="$1"
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.tessmere-ready" ]; then
            local wine server
            wine="$(tessmere_wine_binary)"
            server="$(tessmere_wineserver_binary)"
            tessmere_wine_environment "$prefix"
            rm -rf "$prefix"
            "$wine" wineboot -i >/dev/null 2>&1 || true
            # Without a window manager Wine otherwise waits on every window hide and never
            # gets the X keyboard focus.
            "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            # A crash ends the process with an exit code instead of waiting on a dialog.
            "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
            "$server" -w
            touch "$prefix/.tessmere-ready"
        fi
    ) 9>"$prefix.lock"
}

# Starts Xvfb when there is no display; sets DISPLAY and TESSMERE_XVFB_PID.
tessmere_ensure_display() {
    TESSMERE_XVFB_PID=""
    if [ -n "${DISPLAY:-}" ]; then
        return
    fi
    local fifo
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    TESSMERE_XVFB_PID=$!
    local number
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
}

tessmere_stop_display() {
    if [ -n "${TESSMERE_XVFB_PID:-}" ]; then
        kill "$TESSMERE_XVFB_PID" 2>/dev/null || true
        wait "$TESSMERE_XVFB_PID" 2>/dev/null || true
        TESSMERE_XVFB_PID=""
    fi
}
