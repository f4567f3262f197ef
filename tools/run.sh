#!/usr/bin/env bash
# run.sh [x64|i686] - builds dialvane.exe for x86-64 (the default) or i686 and
# runs it under Wine. Installs what is missing first.
#
# With a display, the program opens there and this script returns when it ends.
# Without one, it runs under a private Xvfb: the script waits until the settings
# have loaded, saves a screenshot of the main dialog, closes it with Cancel
# (nothing is written) and prints where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=${1:-x64}
case "$arch" in
x64|i686) ;;
*) echo "usage: tools/run.sh [x64|i686]" >&2; exit 2 ;;
esac

tools/bootstrap.sh
if [ "$arch" = i686 ] && ! grep -q '^32-bit programs:' build/wine32-status; then
    echo "run: this machine cannot run the 32-bit build" >&2
    exit 1
fi
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" --target dialvane capture_dialvane -j"$(nproc)"

build=build/$arch
if [ -n "${DISPLAY:-}" ]; then
    exec tools/wine-session.sh "$build" tools/wine-exec.sh "$build/dialvane.exe"
fi

shot="$PWD/$build/dialvane-screenshot"
rm -f "$shot.bmp" "$shot.png"
# The helper closes the program with Cancel once the screenshot is saved.
# When it gives up, or the program is still open half a minute later, the
# program is ended here (with the session's wineserver), so this never waits
# for ever.
tools/wine-session.sh "$build" bash -c '
    tools/wine-exec.sh "$1/dialvane.exe" &
    program=$!
    timeout 120 tools/wine-exec.sh "$1/capture_dialvane.exe" "Z:${2//\//\\}.bmp"
    status=$?
    if [ $status -ne 0 ]; then
        echo "run: the screenshot helper gave up; closing Dialvane" >&2
    else
        for _ in $(seq 1 300); do
            kill -0 $program 2>/dev/null || break
            sleep 0.1
        done
    fi
    if kill -0 $program 2>/dev/null; then
        [ $status -ne 0 ] || echo "run: Dialvane did not close after the screenshot; closing it" >&2
        "$WINESERVER" -k
    fi
    wait $program
    exit $status
' run "$build" "$shot"
convert "$shot.bmp" "$shot.png"
echo "Dialvane ran under Xvfb; screenshot of its main dialog: $shot.png"
