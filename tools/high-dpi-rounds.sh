#!/usr/bin/env bash
# high-dpi-rounds.sh BUILD_DIR TEST_EXE [ARGS...] - run by high-dpi-test.sh
# inside its wine-session.sh: one round of the high-DPI test program per DPI,
# each with the wineserver and the desktop started afresh at that DPI.
set -euo pipefail

DPIS=(96 120 144)
build_dir=$1
test_exe=$2
shift 2
session_dir="$build_dir/high-dpi"
log="$session_dir/wine-session.log"
reference="$session_dir/main-dialog-96dpi.txt"
# Checks a round skips, named so that they are seen even when all pass.
if [ -n "${DIALVANE_SKIPPED_CHECKS:-}" ]; then
    skipped=$DIALVANE_SKIPPED_CHECKS
else
    skipped="$build_dir/high-dpi-skipped.txt"
    rm -f "$skipped"
fi
rm -f "$reference"
platform="$(basename "$build_dir"), $("$WINE" --version | cut -d' ' -f1)"
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
    if ! DIALVANE_DPI=$dpi DIALVANE_DPI_REFERENCE="$reference" \
         "$WINE" "$test_exe" "$@" > "$session_dir/round-$dpi.log"; then
        echo "high-dpi-test: FAILED at $dpi DPI"
        status=1
    fi
    cat "$session_dir/round-$dpi.log"
    sed -n "s/^\[  SKIPPED \] \(HighDpi\.[A-Za-z]*\) (.*/test_high_dpi ($platform) at $dpi DPI SKIPPED \1/p" \
        "$session_dir/round-$dpi.log" >> "$skipped"
done
exit $status
