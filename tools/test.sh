#!/usr/bin/env bash
# Builds both targets with their tests, checks that a release builds
# reproducibly and runs every test under Wine, for x86-64 and for i686.
# Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 -j"$(nproc)"
cmake --preset i686 >/dev/null
cmake --build --preset i686 -j"$(nproc)"
tools/check-imports.sh build/x64 build/i686
# The release archive, built twice from scratch and compared byte for byte
# (about a minute on two cores).
tools/release.sh --check
# The whole suite on each architecture, x86-64 first, each with its summary.
# The 32-bit build runs where bootstrap.sh made 32-bit programs run; where it
# could not, the run says so and is not counted as passed.
status=0
echo "=== x86-64 suite"
tools/wine-session.sh build/x64 ctest --preset x64 "$@" || status=1
wine32=$(cat build/wine32-status)
echo "=== i686 suite ($wine32)"
case "$wine32" in
"32-bit programs:"*)
    tools/wine-session.sh build/i686 ctest --preset i686 "$@" || status=1 ;;
*) echo "$wine32" ;;
esac
# Checks the platform cannot support and that were skipped, in sight even
# when every test passes (the reason is in the test's output).
cat build/x64/high-dpi-skipped.txt build/i686/high-dpi-skipped.txt 2>/dev/null || true
exit $status
