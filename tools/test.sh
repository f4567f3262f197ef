#!/usr/bin/env bash
# Builds both targets, checks that a release builds reproducibly and runs every
# test under Wine. Installs what is missing first.
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
tools/wine-session.sh build/x64 ctest --preset x64 "$@"
