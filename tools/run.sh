#!/usr/bin/env bash
# Builds dialvane.exe (x86-64) and runs it under Wine. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target dialvane -j"$(nproc)"
echo "Built build/x64/dialvane.exe. The main dialog is not built yet, so there is nothing to show."
