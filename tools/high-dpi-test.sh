#!/usr/bin/env bash
# high-dpi-test.sh BUILD_DIR TEST_EXE [ARGS...] - runs the high-DPI test
# program against the build's dialvane.exe at 96, 120 and 144 DPI.
#
# Wine reads the DPI (LogPixels) when the wineserver and the desktop start,
# so each round sets it in the registry and then starts them afresh. The
# rounds use a prefix of their own (BUILD_DIR/high-dpi/wineprefix), so the
# build's prefix stays at 96 DPI whatever happens here, and a private Xvfb
# large enough for the main dialog at 144 DPI. Screenshots go to the test
# output folder, named by DPI.
#
# Checks a round skips are named, with the architecture and the Wine, in
# DIALVANE_SKIPPED_CHECKS when set (tools/test.sh collects one run's there),
# else in BUILD_DIR/high-dpi-skipped.txt.
set -euo pipefail

DPIS=(96 120 144)
# Xvfb screen: room for the main dialog and the About box at 144 DPI.
SCREEN=1920x1440x24

build_dir=$(cd "$1" && pwd)
test_exe=$2
shift 2
tools_dir=$(cd "$(dirname "$0")" && pwd)
session_dir="$build_dir/high-dpi"

# Runs inside wine-session.sh: one round per DPI.
if [ "${HIGH_DPI_ROUNDS:-}" = 1 ]; then
    log="$session_dir/wine-session.log"
    reference="$session_dir/main-dialog-96dpi.txt"
    # Checks a round skips, named so that they are seen even when every
    # round passes.
    if [ -n "${DIALVANE_SKIPPED_CHECKS:-}" ]; then
        skipped=$DIALVANE_SKIPPED_CHECKS
    else
        skipped="$build_dir/high-dpi-skipped.txt"
        rm -f "$skipped"
    fi
    rm -f "$reference"
    platform="$(basename "$build_dir"), $("$WINE" --version | cut -d' ' -f1)"
    # Set (to 1) where 32-bit programs run under qemu-user (see bootstrap.sh).
    emulated=""
    if grep -q 'emulated' "$tools_dir/../build/wine32-status" 2>/dev/null; then
        emulated=1
    fi
    status=0
    for dpi in "${DPIS[@]}"; do
        echo "high-dpi-test: $dpi DPI"
        # Wine takes the DPI from the user's desktop settings and from the
        # hardware profile's fonts key; DpiScalingVer makes it treat a program
        # without a DPI declaration as unaware, as Windows does.
        printf '%s\r\n' 'REGEDIT4' '' \
            '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
            "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" \
            '"DpiScalingVer"=dword:00001018' '' \
            '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' \
            "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" '' \
            > "$WINEPREFIX/drive_c/dpi.reg"
        "$WINE" regedit /S 'C:\dpi.reg' >>"$log" 2>&1
        "$WINESERVER" -k >>"$log" 2>&1 || true
        "$WINESERVER" -w
        "$WINESERVER" -p >>"$log" 2>&1
        "$WINE" wineboot >>"$log" 2>&1 </dev/null
        # Into a file, not a pipe: a dialvane.exe the test program leaves
        # behind when it dies holds its output open, and a pipe's reader
        # would wait for it; the next round's "wineserver -k", or the
        # session's end, ends it.
        if ! DIALVANE_DPI=$dpi DIALVANE_DPI_REFERENCE="$reference" DIALVANE_32BIT_EMULATED=$emulated \
             "$WINE" "$test_exe" "$@" > "$session_dir/round-$dpi.log"; then
            echo "high-dpi-test: FAILED at $dpi DPI"
            status=1
        fi
        cat "$session_dir/round-$dpi.log"
        sed -n "s/^\[  SKIPPED \] \(HighDpi\.[A-Za-z]*\) (.*/test_high_dpi ($platform) at $dpi DPI SKIPPED \1/p" \
            "$session_dir/round-$dpi.log" >> "$skipped"
    done
    exit $status
fi

# The rounds' prefix starts as a copy of the build's prefix for the same Wine
# (made by the enclosing wine-session.sh) when there is one: the Windows
# modules as hard links, which Wine only reads, and every other file as a copy
# of its own.
WINEPREFIX="$build_dir/wineprefix"
. "$tools_dir/wine-env.sh"
build_prefix=$WINEPREFIX
prefix="$session_dir/wineprefix$WINE_PREFIX_SUFFIX"
if [ ! -f "$prefix/system.reg" ] && [ -f "$build_prefix/system.reg" ]; then
    rm -rf "$prefix"
    mkdir -p "$session_dir"
    cp -al "$build_prefix" "$prefix"
    find "$prefix" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' \
        ! -iname '*.ocx' ! -iname '*.acm' ! -iname '*.cpl' ! -iname '*.tlb' ! -iname '*.nls' \
        -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv "$f.copy" "$f"; done' sh {} +
fi

env -u DISPLAY WINE_SESSION_SCREEN="$SCREEN" HIGH_DPI_ROUNDS=1 \
    "$tools_dir/wine-session.sh" "$session_dir" "$0" "$build_dir" "$test_exe" "$@"
