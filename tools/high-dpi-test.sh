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
# Checks a round skips are named in DIALVANE_SKIPPED_CHECKS when set, else in
# BUILD_DIR/high-dpi-skipped.txt.
set -euo pipefail

# Xvfb screen: room for the main dialog and the About box at 144 DPI.
SCREEN=1920x1440x24

build_dir=$(cd "$1" && pwd)
test_exe=$2
shift 2
tools_dir=$(cd "$(dirname "$0")" && pwd)
session_dir="$build_dir/high-dpi"

# The rounds' prefix starts as a copy of the build's prefix for the same Wine
# (made by the enclosing wine-session.sh) when there is one: the Windows
# modules as hard links, which Wine only reads, and every other file as a copy
# of its own.
WINEPREFIX="$build_dir/wineprefix"
# shellcheck source=SCRIPTDIR/wine-env.sh
. "$tools_dir/wine-env.sh"
build_prefix=$WINEPREFIX
prefix="$session_dir/wineprefix$WINE_PREFIX_SUFFIX"
if [ ! -f "$prefix/system.reg" ] && [ -f "$build_prefix/system.reg" ]; then
    rm -rf "$prefix"
    mkdir -p "$session_dir"
    cp -al "$build_prefix" "$prefix"
    find "$prefix" -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' \
        ! -iname '*.ocx' ! -iname '*.acm' ! -iname '*.cpl' ! -iname '*.tlb' ! -iname '*.nls' \
        -print0 | while IFS= read -r -d '' file; do cp -p "$file" "$file.copy" && mv "$file.copy" "$file"; done
fi

env -u DISPLAY WINE_SESSION_SCREEN="$SCREEN" \
    "$tools_dir/wine-session.sh" "$session_dir" "$tools_dir/high-dpi-rounds.sh" "$build_dir" "$test_exe" "$@"
