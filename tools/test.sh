#!/usr/bin/env bash
# test.sh [CTEST_ARGS...] - builds both targets with their tests, checks that
# a release builds reproducibly and runs every test for x86-64 and for i686,
# first under the machine's Wine, then under Wine 10 in a Debian 13 root (the
# second platform, see tools/wine10.sh): four suites, each with its summary.
# The same built files run on both platforms. DIALVANE_SKIP_WINE10=1 skips
# the second platform. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

wine10=1
if [ "${DIALVANE_SKIP_WINE10:-}" = 1 ]; then
    wine10=""
fi
tools/bootstrap.sh
# The second platform's root is made (on the first run only: a few minutes,
# mostly download) while the builds run, where becoming root needs no
# password; in a session of its own, so that everything it started ends with
# this script however it ends.
root_job=""
if [ -n "$wine10" ] && { [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; }; then
    setsid tools/bootstrap.sh --wine10-only >build/wine10-bootstrap.log 2>&1 &
    root_job=$!
    trap 'if [ -n "$root_job" ]; then kill -- -"$root_job" 2>/dev/null; wait "$root_job"; fi' EXIT
    trap 'exit 130' INT TERM
fi
cmake --preset x64 >/dev/null
cmake --build --preset x64 -j"$(nproc)"
cmake --preset i686 >/dev/null
cmake --build --preset i686 -j"$(nproc)"
tools/check-imports.sh build/x64 build/i686
# The release archive, built twice from scratch and compared byte for byte
# (about a minute on two cores).
tools/release.sh --check

# Checks the platform cannot support and that this run skipped, listed after
# the summaries even when every test passes (the reason is in the test's
# output).
export DIALVANE_SKIPPED_CHECKS="$PWD/build/skipped-checks.txt"
: > "$DIALVANE_SKIPPED_CHECKS"

status=0
summaries=()
# suite ARCH NAME [RUNNER...] - runs the whole suite of build/ARCH through
# RUNNER (nothing for the machine, tools/wine10.sh for the second platform)
# and keeps its ctest summary, labelled with the architecture and the Wine.
suite() {
    local arch=$1 name=$2 log wine start summary
    shift 2
    log="$PWD/build/$arch/ctest${1:+-wine10}.log"
    wine=$("$@" bash -c '. tools/wine-env.sh && "$WINE" --version')
    echo "=== $name suite, $wine"
    start=$SECONDS
    rm -f "$log"
    "$@" tools/wine-session.sh "build/$arch" ctest --preset "$arch" --output-log "$log" "${ctest_args[@]}" ||
        status=1
    summary=$(grep -E 'tests passed|No tests were found' "$log" 2>/dev/null | tail -n 1)
    summaries+=("$name, $wine: ${summary:-FAILED, no ctest summary (see above)} ($((SECONDS - start)) s)")
}
# skipped LINE - a suite that does not run, named as such.
skipped() {
    echo "$1"
    summaries+=("$1")
}

ctest_args=("$@")
wine32=$(cat build/wine32-status)
i686_name="i686 (${wine32#32-bit programs: })"
suite x64 x86-64
case "$wine32" in
"32-bit programs:"*) suite i686 "$i686_name" ;;
*) skipped "$wine32" ;;
esac

if [ -n "$root_job" ]; then
    wait "$root_job" || true
    root_job=""
    cat build/wine10-bootstrap.log
elif [ -n "$wine10" ]; then
    tools/bootstrap.sh --wine10-only
fi
if [ -z "$wine10" ]; then
    skipped "Wine 10 suite SKIPPED: DIALVANE_SKIP_WINE10=1"
elif ! grep -q '^Wine 10 root:' build/wine10-status; then
    skipped "$(cat build/wine10-status)"
else
    suite x64 "x86-64" tools/wine10.sh
    case "$wine32" in
    "32-bit programs:"*) suite i686 "$i686_name" tools/wine10.sh ;;
    *) skipped "Wine 10 i686 suite SKIPPED: ${wine32#32-bit suite SKIPPED: }" ;;
    esac
fi

echo "=== Summaries"
printf '%s\n' "${summaries[@]}"
cat "$DIALVANE_SKIPPED_CHECKS"
exit $status
