#!/usr/bin/env bash
# Runs one Windows program under Wine inside a virtual X display.
#
# The Wine prefix is created once and reused; Wine's own diagnostics are kept
# out of the program's output so that test logs show only the tests.
set -euo pipefail

state_dir="${TUNEWELL_STATE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tunewell}"
export WINEPREFIX="${TUNEWELL_WINEPREFIX:-$state_dir/wine}"
# TUNEWELL_WINE_LOGPIXELS=144 runs at that display scale (DPI), always in a
# prefix of its own beside the given one, so that no other program sees it.
logpixels="${TUNEWELL_WINE_LOGPIXELS:-}"
if [ -n "$logpixels" ]; then
    case "$logpixels" in
        *[!0-9]* | 0*) echo "wine-run.sh: TUNEWELL_WINE_LOGPIXELS must be a DPI such as 144" >&2; exit 2 ;;
    esac
    export WINEPREFIX="$WINEPREFIX-dpi-$logpixels"
fi
# Wine names Unix files in the locale's character set; without a UTF-8 one
# (a bare environment has none) a path such as "Café ♪" cannot exist at all.
case "$(locale charmap 2>/dev/null)" in
    UTF-8) ;;
    *) export LC_ALL=C.UTF-8 ;;
esac
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64
# No Mono or Gecko installers (nothing here needs .NET or Wine's HTML engine), and
# no debugger: a crashing test must fail at once instead of waiting in winedbg.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winedbg.exe=d}"
mkdir -p "$state_dir"

# A display counts only while its Xvfb runs: a server that was killed leaves its
# lock file and socket behind, and Wine cannot make a single window on those.
display_is_live() {
    local display_number="$1" pid
    [ -S "/tmp/.X11-unix/X$display_number" ] || return 1
    pid="$(tr -d ' \n' <"/tmp/.X$display_number-lock" 2>/dev/null)" || return 1
    [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]
}

start_display() {
    local display_number="${TUNEWELL_DISPLAY_NUMBER:-87}"
    export DISPLAY=":$display_number"
    display_is_live "$display_number" && return 0
    rm -f "/tmp/.X$display_number-lock" "/tmp/.X11-unix/X$display_number"
    setsid -f Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&-
    for _ in $(seq 100); do
        display_is_live "$display_number" && return 0
        sleep 0.1
    done
    echo "wine-run.sh: Xvfb did not start on display $DISPLAY" >&2
    return 1
}

prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.tunewell-ready" ]; then
        wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
        wineserver --wait || true
        touch "$WINEPREFIX/.tunewell-ready"
    fi
    if [ ! -f "$WINEPREFIX/.tunewell-unmanaged" ]; then
        # Xvfb has no window manager; unmanaged windows spare Wine a two-second
        # wait for a manager's answer each time a visible window is destroyed.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&- || true
        touch "$WINEPREFIX/.tunewell-unmanaged"
    fi
    # Wine reports this DPI to GetDpiForWindow and scales to it.
    if [ -n "$logpixels" ] && [ ! -f "$WINEPREFIX/.tunewell-logpixels" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$logpixels" /f \
            </dev/null >/dev/null 2>&1 9>&- || true
        touch "$WINEPREFIX/.tunewell-logpixels"
    fi
    # Wine's server and its helper processes outlive the program; started here
    # with no inherited output, they cannot keep a caller's pipes open.
    if ! wineserver --kill=0 2>/dev/null; then
        setsid wineserver --persistent=120 </dev/null >/dev/null 2>&1 9>&- || true
        setsid wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
}

{
    flock 9
    [ -n "${DISPLAY:-}" ] || start_display || exit 1
    prepare_prefix
} 9>"$state_dir/wine-run.lock"
[ -n "${DISPLAY:-}" ] || export DISPLAY=":${TUNEWELL_DISPLAY_NUMBER:-87}"

wine_noise='^(wine: |[0-9a-f]{4}:(fixme|err|warn|trace):|Could not find Wine Gecko|wine client error)'
set +e
wine "$@" 2> >(grep -v -E "$wine_noise" >&2)
status=$?
wait
exit $status
