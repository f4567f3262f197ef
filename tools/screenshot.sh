#!/usr/bin/env bash
# screenshot.sh BUILD_DIR SHOT.bmp - run inside tools/wine-session.sh: starts
# the build's dialvane.exe, and its capture_dialvane.exe saves a screenshot of
# the main dialog once the settings have loaded, then closes it with Cancel.
# When the helper gives up, or the program is still open half a minute later,
# the program is ended (with the session's wineserver), so this never waits
# for ever.
set -uo pipefail
tools_dir=$(dirname "$0")

"$tools_dir/wine-exec.sh" "$1/dialvane.exe" &
program=$!
timeout 120 "$tools_dir/wine-exec.sh" "$1/capture_dialvane.exe" "Z:${2//\//\\}"
status=$?
if [ $status -ne 0 ]; then
    echo "screenshot: the screenshot helper gave up; closing Dialvane" >&2
else
    for _ in $(seq 1 300); do
        kill -0 $program 2>/dev/null || break
        sleep 0.1
    done
fi
if kill -0 $program 2>/dev/null; then
    [ $status -ne 0 ] || echo "screenshot: Dialvane did not close after the screenshot; closing it" >&2
    "$WINESERVER" -k
fi
wait $program
exit $status
