#!/usr/bin/env bash
# Runs one Windows program under Wine: the emulator ctest uses for every test.
# The prefix comes from WINEPREFIX (set per test by ctest); the display and the
# wineserver are those of the enclosing wine-session.sh.
set -eu
: "${WINEPREFIX:?WINEPREFIX must name the build tree prefix}"
export WINEPREFIX
# shellcheck source=SCRIPTDIR/wine-env.sh
. "$(dirname "$0")/wine-env.sh"
exec "$WINE" "$@"
