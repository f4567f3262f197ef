#!/usr/bin/env bash
# test.sh [CTEST_ARGS...] - prepares the machine (tools/bootstrap.sh), checks
# the scripts, builds both targets with their tests, checks the imports and
# that a release builds reproducibly, and runs every test for x86-64 and i686
# under the machine's Wine, then under Wine 10 (tools/wine10.sh): four suites,
# each with its summary. The second platform's root is made while the builds
# and the first suites run, by a job of this script's process group that ends
# with it. DIALVANE_SKIP_WINE10=1 skips the second platform;
# DIALVANE_ALL_SUITES=1 (CI) fails the run unless all four suites ran.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/setup-values.sh

tools/bootstrap.sh
export DIALVANE_BOOTSTRAPPED=1
wine32=$(setup_value WINE32)
wine10=$(setup_value WINE10)
wine10_reason=$(setup_value WINE10_REASON)
[ "${DIALVANE_SKIP_WINE10:-}" != 1 ] || { wine10=none; wine10_reason="DIALVANE_SKIP_WINE10=1"; }

root_job=""
if [ "$wine10" = makeable ]; then
    rm -f build/wine10.env
    tools/make-wine10-root.sh > build/wine10-root-make.log 2>&1 &
    root_job=$!
    trap '[ -z "$root_job" ] || { kill -TERM "$root_job"; wait "$root_job"; }' EXIT
    trap 'exit 130' INT TERM
fi

shellcheck -x tools/*.sh .ci/run
# A build that was killed may leave a half-written file that make takes for
# done; after one, everything is built again.
clean=()
[ ! -e build/building ] || clean=(--clean-first)
touch build/building
for arch in x64 i686; do
    cmake --preset $arch >/dev/null
    cmake --build --preset $arch -j"$(nproc)" "${clean[@]}"
done
rm build/building
tools/check-imports.sh build/x64 build/i686
tools/release.sh --check

# Checks the platform cannot support and that this run skipped, listed after
# the summaries even when every test passes.
export DIALVANE_SKIPPED_CHECKS="$PWD/build/skipped-checks.txt"
: > "$DIALVANE_SKIPPED_CHECKS"

status=0
summaries=()
missing=()
# suite ARCH NAME [RUNNER...] - runs the suite of build/ARCH through RUNNER
# (tools/wine10.sh for the second platform) and keeps its ctest summary.
suite() {
    local arch=$1 name=$2 log wine start summary
    shift 2
    log="$PWD/build/$arch/ctest${1:+-wine10}.log"
    wine=$("$@" env WINEPREFIX="$PWD/build/$arch/wineprefix" tools/wine-exec.sh --version)
    echo "=== $name suite, $wine"
    start=$SECONDS
    rm -f "$log"
    "$@" tools/wine-session.sh "build/$arch" ctest --preset "$arch" --output-log "$log" "${ctest_args[@]}" ||
        status=1
    summary=$(grep -E 'tests passed|No tests were found' "$log" 2>/dev/null | tail -n 1)
    summaries+=("$name, $wine: ${summary:-FAILED, no ctest summary (see above)} ($((SECONDS - start)) s)")
}
# skipped NAME REASON - a suite that does not run, named as such.
skipped() {
    echo "$1 suite SKIPPED: $2"
    summaries+=("$1 suite SKIPPED: $2")
    missing+=("$1 suite: $2")
}

ctest_args=("$@")
i686_name="i686 ($wine32)"
suite x64 x86-64
if [ "$wine32" = none ]; then
    skipped "i686" "$(setup_value WINE32_REASON)"
else
    suite i686 "$i686_name"
fi

if [ -n "$root_job" ]; then
    echo "=== The second platform's root"
    wait "$root_job" || true
    root_job=""
    cat build/wine10-root-make.log
    wine10=$(setup_value WINE10 build/wine10.env)
    wine10_reason=$(setup_value WINE10_REASON build/wine10.env)
fi
if [ "$wine10" != ready ]; then
    skipped "Wine 10 x86-64 and i686" "${wine10_reason:-its root was not made (see build/wine10-root-make.log)}"
else
    suite x64 "x86-64" tools/wine10.sh
    if [ "$wine32" = none ]; then
        skipped "Wine 10 i686" "$(setup_value WINE32_REASON)"
    else
        suite i686 "$i686_name" tools/wine10.sh
    fi
fi

echo "=== Summaries"
printf '%s\n' "${summaries[@]}"
cat "$DIALVANE_SKIPPED_CHECKS"
if [ "${DIALVANE_ALL_SUITES:-}" = 1 ] && [ ${#missing[@]} -gt 0 ]; then
    printf 'MISSING (all four suites must run here): %s\n' "${missing[@]}"
    status=1
fi
exit $status
