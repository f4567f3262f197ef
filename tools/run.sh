#!/usr/bin/env bash
# run.sh [x64|i686] - builds dialvane.exe for x86-64 (the default) or i686 and
# runs it under Wine, after preparing the machine (tools/bootstrap.sh).
#
# With a display, the program opens there and this script returns when it ends.
# Without one, it runs under a private Xvfb: tools/screenshot.sh waits until the
# settings have loaded, saves a screenshot of the main dialog and closes it with
# Cancel (nothing is written); this script prints where the screenshot is.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/setup-values.sh

arch=${1:-x64}
case "$arch" in
x64|i686) ;;
*) echo "usage: tools/run.sh [x64|i686]" >&2; exit 2 ;;
esac

[ -n "${DIALVANE_BOOTSTRAPPED:-}" ] || tools/bootstrap.sh
if [ "$arch" = i686 ] && [ "$(setup_value WINE32)" = none ]; then
    echo "run: this machine cannot run the 32-bit build: $(setup_value WINE32_REASON)" >&2
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
tools/wine-session.sh "$build" tools/screenshot.sh "$build" "$shot.bmp"
convert "$shot.bmp" "$shot.png"
echo "Dialvane ran under Xvfb; screenshot of its main dialog: $shot.png"
