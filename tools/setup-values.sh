# shellcheck shell=bash
# setup-values.sh - sourced by the scripts that read what was found or made:
# setup_value KEY [FILE] prints KEY's value from FILE, by default
# build/setup.env, where tools/bootstrap.sh leaves what it found.
setup_value() {
    sed -n "s/^$1=//p" "${2:-$(dirname "${BASH_SOURCE[0]}")/../build/setup.env}" 2>/dev/null
}
