# Sourced by the scripts: a Wine prefix of the project's own and an X display to run on.

# Debian keeps wine64 and wineserver64 out of PATH.
export PATH="/usr/lib/wine:$PATH"

# Exports the environment every Wine run of the project uses, for the prefix in $1.
tessmere_wine_environment() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEARCH=win64
    # Wine takes the ANSI code page from the locale: 932 under the Japanese one, 1252 under
    # TESSMERE_LOCALE=C.UTF-8, as on a Windows set to another language.
    export LC_ALL="${TESSMERE_LOCALE:-ja_JP.UTF-8}"
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
            tessmere_wine_environment "$prefix"
            rm -rf "$prefix"
            wine64 wineboot -i >/dev/null 2>&1 || true
            # Without a window manager Wine otherwise waits on every window hide and never
            # gets the X keyboard focus.
            wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            # A crash ends the process with an exit code instead of waiting on a dialog.
            wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
            wineserver64 -w
            touch "$prefix/.tessmere-ready"
        fi
    ) 9>"$prefix.lock"
}

# Starts Xvfb when there is no display; sets DISPLAY and TESSMERE_XVFB_PID.
tessmere_ensure_display() {
    TESSMERE_XVFB_PID=""
    [ -z "${DISPLAY:-}" ] || return 0
    local fifo number
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    TESSMERE_XVFB_PID=$!
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
}

tessmere_stop_display() {
    [ -n "${TESSMERE_XVFB_PID:-}" ] || return 0
    kill "$TESSMERE_XVFB_PID" 2>/dev/null || true
    wait "$TESSMERE_XVFB_PID" 2>/dev/null || true
    TESSMERE_XVFB_PID=""
}
