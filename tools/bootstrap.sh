#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already installed (apt-get runs only when something is missing), and makes
# sure that Wine can run 32-bit Windows programs: natively where the machine
# runs 32-bit Linux programs, under qemu's user-mode emulation where it does
# not. Prints which, and leaves the answer in build/wine32-status for the
# scripts that run the 32-bit build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth
          googletest imagemagick fonts-wine)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        sudo "$@"
    else
        return 1
    fi
}

apt_install() {
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "$@"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# --- 32-bit Windows programs ----------------------------------------------------
# wine32 lets the 64-bit prefix run them (WoW64). Its 32-bit loader is a 32-bit
# Linux program, which some machines refuse (Exec format error); there the
# kernel's binfmt_misc can hand it to qemu-i386. qemu 7.2 ignores
# MAP_FIXED_NOREPLACE, so Wine's address-space reservation would probe a 4 GiB
# guest 64 KiB at a time; QEMU_RESERVED_VA (set in wine-env.sh for every Wine
# process) limits the guest to the 2 GiB of a 32-bit Windows process.
status_file=build/wine32-status
probe_dir=build/wine32-probe
QEMU_BINFMT=/proc/sys/fs/binfmt_misc
QEMU_I386_ENTRY=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'
PROBE_EXIT_CODE=42
mkdir -p build

report() {
    echo "$1" > "$status_file"
    echo "$1"
}

# A tiny 32-bit console program under Wine, in a prefix of its own: whether
# its exit code comes back is whether 32-bit programs run.
probe_wine32() {
    mkdir -p "$probe_dir"
    if [ ! -f "$probe_dir/probe.exe" ]; then
        printf 'int main(void) { return %d; }\n' "$PROBE_EXIT_CODE" > "$probe_dir/probe.c"
        i686-w64-mingw32-gcc -o "$probe_dir/probe.exe" "$probe_dir/probe.c" || return 1
    fi
    (
        export WINEPREFIX="$PWD/$probe_dir/prefix"
        . tools/wine-env.sh
        set +e
        timeout 300 "$WINE" "$probe_dir/probe.exe" >"$probe_dir/probe.log" 2>&1 </dev/null
        code=$?
        "$WINESERVER" -k >/dev/null 2>&1
        "$WINESERVER" -w
        [ "$code" -eq "$PROBE_EXIT_CODE" ] && [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
    )
}

emulation_registered() {
    [ -f "$QEMU_BINFMT/qemu-i386" ] && head -1 "$QEMU_BINFMT/qemu-i386" | grep -q enabled
}

# Sets up qemu-i386 under binfmt_misc; on failure prints what failed.
set_up_emulation() {
    if ! installed qemu-user-static; then
        apt_install qemu-user-static >/dev/null || { echo "qemu-user-static could not be installed"; return 1; }
    fi
    if ! mountpoint -q "$QEMU_BINFMT"; then
        as_root mount -t binfmt_misc binfmt_misc "$QEMU_BINFMT" 2>/dev/null ||
            { echo "binfmt_misc could not be mounted"; return 1; }
    fi
    if [ ! -e "$QEMU_BINFMT/qemu-i386" ]; then
        echo "$QEMU_I386_ENTRY" | as_root tee "$QEMU_BINFMT/register" >/dev/null 2>&1 ||
            { echo "qemu-i386 could not be registered with binfmt_misc"; return 1; }
    fi
}

wine32_status() {
    if ! installed wine32:i386; then
        { as_root dpkg --add-architecture i386 && as_root apt-get update -qq &&
          apt_install wine32:i386 >/dev/null; } 2>/dev/null ||
            { report "32-bit suite SKIPPED: wine32 could not be installed (needs root)"; return; }
    fi
    if probe_wine32; then
        if emulation_registered; then
            report "32-bit programs: emulated (qemu-user)"
        else
            report "32-bit programs: native"
        fi
        return
    fi
    local failure
    if ! failure=$(set_up_emulation); then
        report "32-bit suite SKIPPED: 32-bit programs do not run and $failure"
        return
    fi
    # The probe's prefix was made without 32-bit system files: start afresh.
    rm -rf "$probe_dir/prefix"
    if probe_wine32; then
        report "32-bit programs: emulated (qemu-user)"
    else
        report "32-bit suite SKIPPED: a 32-bit program does not run under Wine, even emulated (see $probe_dir/probe.log)"
    fi
}

wine32_status
