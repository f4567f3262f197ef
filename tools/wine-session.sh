#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND... - runs COMMAND with a ready Wine:
#  - the prefix BUILD_DIR/wineprefix, created on first use with the classic
#    Windows colour scheme;
#  - the user's display, or a private Xvfb when there is none (its screen
#    size from WINE_SESSION_SCREEN, 1024x768x24 unless set);
#  - one persistent wineserver, so later Wine processes start fast.
# Everything started here is stopped before the script ends.
set -euo pipefail

build_dir=$(cd "$1" && pwd)
shift
tools_dir=$(cd "$(dirname "$0")" && pwd)

export WINEPREFIX="$build_dir/wineprefix"
# shellcheck source=SCRIPTDIR/wine-env.sh
. "$tools_dir/wine-env.sh"
log="$build_dir/wine-session.log"
: > "$log"

xvfb_pid=""
# shellcheck disable=SC2317 # run by the EXIT trap
cleanup() {
    "$WINESERVER" -k >>"$log" 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            display=":$n"
            break
        fi
    done
    Xvfb "$display" -screen 0 "${WINE_SESSION_SCREEN:-1024x768x24}" -nolisten tcp >>"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X${display#:}" ] && break
        sleep 0.1
    done
    export DISPLAY="$display"
fi

# A prefix made while 32-bit programs could not run lacks the 32-bit system
# files; once they run (see bootstrap.sh), it is made again.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] &&
   [ "$(setup_value WINE32)" != none ]; then
    echo "wine-session: making the Wine prefix in $WINEPREFIX again, with its 32-bit side"
    "$WINESERVER" -k >>"$log" 2>&1 || true
    rm -rf "$WINEPREFIX"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: creating the Wine prefix in $WINEPREFIX (takes a few seconds)"
    "$WINE" wineboot -i >>"$log" 2>&1
    "$WINESERVER" -w
    # The classic Windows colour scheme, so screenshots look like the system
    # the program was made for and hot-tracking colours stand out; and windows
    # that Wine manages itself: without a window manager (Xvfb) it would
    # otherwise wait seconds for every window to hide and leave captions undrawn.
    cp "$tools_dir/prefix-settings.reg" "$WINEPREFIX/drive_c/prefix-settings.reg"
    "$WINE" regedit /S 'C:\prefix-settings.reg' >>"$log" 2>&1
    "$WINESERVER" -w
fi

# Windows' own fonts: Wine does not look for those of fonts-wine where Debian
# puts them, so without a copy in the prefix "MS Sans Serif" falls back to a
# Linux font, and every dialog is laid out at other metrics than on Windows.
if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/$WINE_DIALOG_FONT_FILE" ]; then
    if [ ! -f "$WINE_FONTS_DIR/$WINE_DIALOG_FONT_FILE" ]; then
        echo "wine-session: $WINE_FONTS_DIR/$WINE_DIALOG_FONT_FILE is missing (package fonts-wine)" >&2
        exit 1
    fi
    "$WINESERVER" -k >>"$log" 2>&1 || true
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$WINE_FONTS_DIR"/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi

"$WINESERVER" -p >>"$log" 2>&1
# Start Wine's own background processes (services, the desktop) now, with
# their output in the log: started by a test instead, they would inherit the
# test's output pipe and keep ctest waiting for it to close.
"$WINE" wineboot >>"$log" 2>&1 </dev/null
"$@"
