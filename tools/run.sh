#!/usr/bin/env bash
# Builds dialvane.exe (x86-64) and runs it under Wine. Installs what is missing first.
#
# With a display, the program opens there and this script returns when it ends.
# Without one, it runs under a private Xvfb: the script waits until the settings
# have loaded, saves a screenshot of the main dialog, closes it with Cancel
# (nothing is written) and prints where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target dialvane capture_dialvane -j"$(nproc)"

build=build/x64
if [ -n "${DISPLAY:-}" ]; then
    exec tools/wine-session.sh "$build" tools/wine-exec.sh "$build/dialvane.exe"
fi

shot="$PWD/$build/dialvane-screenshot"
rm -f "$shot.bmp" "$shot.png"
tools/wine-session.sh "$build" bash -c '
    tools/wine-exec.sh "$1/dialvane.exe" &
    program=$!
    tools/wine-exec.sh "$1/capture_dialvane.exe" "Z:${2//\//\\}.bmp"
    status=$?
    wait $program
    exit $status
' run "$build" "$shot"
convert "$shot.bmp" "$shot.png"
echo "Dialvane ran under Xvfb; screenshot of its main dialog: $shot.png"
