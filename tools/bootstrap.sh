#!/usr/bin/env bash
# bootstrap.sh [--wine10 | --wine10-only] - installs the Debian packages the build and the
# tests need, skipping those already installed (apt-get runs only when
# something is missing), and makes sure that Wine can run 32-bit Windows
# programs: natively where the machine runs 32-bit Linux programs, under
# qemu's user-mode emulation where the kernel refuses them. Prints which, and
# leaves the answer in build/wine32-status for the scripts that run the
# 32-bit build.
#
# With --wine10 it also makes the second platform once: a Debian 13 root in
# build/wine10-root with Wine 10 and what the suite needs, run through
# tools/wine10.sh. The answer goes to build/wine10-status. --wine10-only makes
# just that, for a run that has installed the rest already.
#
# Every change to the machine is named on one line before it is made. What
# needs root runs as root, through sudo when this is not root (sudo may ask
# for a password when there is a terminal). An optional install that fails is
# remembered in build/bootstrap-failed/ and not tried again until that file
# is deleted; every run says so.
set -euo pipefail
cd "$(dirname "$0")/.."

with_wine10=""
only_wine10=""
case "${1:-}" in
--wine10) with_wine10=1 ;;
--wine10-only) with_wine10=1; only_wine10=1 ;;
"") ;;
*) echo "usage: tools/bootstrap.sh [--wine10 | --wine10-only]" >&2; exit 2 ;;
esac

packages=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth
          googletest imagemagick fonts-wine)
failed_dir=build/bootstrap-failed
mkdir -p "$failed_dir"

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "not root, and sudo is not installed" >&2
        return 1
    fi
}

# Prints the change about to be made to the machine.
change() {
    echo "bootstrap: $*"
}

apt_updated=""
# apt_install PACKAGE... - apt's own error goes to standard error, and also
# into build/bootstrap-apt-error.txt for the caller to keep.
apt_install() {
    local error=build/bootstrap-apt-error.txt
    if [ -z "$apt_updated" ]; then
        as_root apt-get update -qq 2>"$error" || { cat "$error" >&2; return 1; }
        apt_updated=1
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
        >/dev/null 2>"$error" || { cat "$error" >&2; return 1; }
}

# earlier_failure NAME - true, with the reason on standard output, when
# installing NAME failed on an earlier run.
earlier_failure() {
    [ -f "$failed_dir/$1" ] || return 1
    echo "failed on an earlier run ($(tail -n 1 "$failed_dir/$1")); delete $failed_dir/$1 to try again"
}

# remember_failure NAME WHAT [LOG] - keeps the error (apt's unless LOG names
# another) for NAME, and prints WHAT.
remember_failure() {
    { date; tail -n 20 "${3:-build/bootstrap-apt-error.txt}" 2>/dev/null; echo "$2"; } > "$failed_dir/$1"
    echo "$2"
}

# last_error LOG - the last error line apt or debootstrap wrote, else the last line.
last_error() {
    awk '/^(E|W):/ { error = $0 } { last = $0 } END { print error ? error : last }' "$1"
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] && [ -z "$only_wine10" ]; then
    change "installing ${missing[*]}"
    if ! apt_install "${missing[@]}"; then
        echo "bootstrap: the packages the build needs could not be installed (apt's error above)" >&2
        exit 1
    fi
fi

# --- 32-bit Windows programs ----------------------------------------------------
# wine32 lets the 64-bit prefix run them (WoW64). Its loader is a 32-bit Linux
# program, and running it is the whole question: where the kernel refuses it
# with "Exec format error", and only there, binfmt_misc can hand 32-bit
# programs to qemu-i386. qemu 7.2 ignores MAP_FIXED_NOREPLACE, so Wine's
# address-space reservation would probe a 4 GiB guest 64 KiB at a time;
# QEMU_RESERVED_VA (set in wine-env.sh for every Wine process) limits the
# guest to the 2 GiB of a 32-bit Windows process.
status_file=build/wine32-status
WINE32_LOADER=/usr/lib/wine/wine
QEMU_BINFMT=/proc/sys/fs/binfmt_misc
QEMU_I386_ENTRY=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

report() {
    echo "$1" > "$status_file"
    echo "$1"
}

# Runs the 32-bit loader; on failure prints the error as the shell reports it
# (in English, so that "Exec format error" can be told from the rest).
run_wine32_loader() {
    local error
    error=$(LC_ALL=C bash -c 'exec "$1" --version' loader "$WINE32_LOADER" 2>&1 >/dev/null) && return
    echo "${error#*line 1: }" | head -n 1
    return 1
}

emulation_registered() {
    [ -f "$QEMU_BINFMT/qemu-i386" ] && head -1 "$QEMU_BINFMT/qemu-i386" | grep -q enabled
}

# Sets up qemu-i386 under binfmt_misc; on failure prints what failed.
set_up_emulation() {
    if ! installed qemu-user-static; then
        earlier_failure qemu-user-static && return 1
        change "installing qemu-user-static, to run 32-bit Linux programs under emulation" >&2
        apt_install qemu-user-static ||
            { remember_failure qemu-user-static "qemu-user-static could not be installed"; return 1; }
    fi
    if ! mountpoint -q "$QEMU_BINFMT"; then
        change "mounting binfmt_misc on $QEMU_BINFMT" >&2
        as_root mount -t binfmt_misc binfmt_misc "$QEMU_BINFMT" >&2 ||
            { echo "binfmt_misc could not be mounted"; return 1; }
    fi
    if [ ! -e "$QEMU_BINFMT/qemu-i386" ]; then
        change "registering qemu-i386 with binfmt_misc: every 32-bit Linux program on this" \
               "machine runs under qemu until the next reboot" >&2
        echo "$QEMU_I386_ENTRY" | as_root tee "$QEMU_BINFMT/register" >/dev/null ||
            { echo "qemu-i386 could not be registered with binfmt_misc"; return 1; }
    fi
}

wine32_status() {
    local failure
    if ! installed wine32:i386; then
        if failure=$(earlier_failure wine32); then
            report "32-bit suite SKIPPED: wine32:i386 $failure"
            return
        fi
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            change "adding the i386 architecture to dpkg"
            if ! as_root dpkg --add-architecture i386; then
                report "32-bit suite SKIPPED: the i386 architecture could not be added"
                return
            fi
            apt_updated=""
        fi
        change "installing wine32:i386 and the 32-bit libraries it needs"
        if ! apt_install wine32:i386; then
            report "32-bit suite SKIPPED: $(remember_failure wine32 "wine32:i386 could not be installed")"
            return
        fi
    fi
    if failure=$(run_wine32_loader); then
        if emulation_registered; then
            report "32-bit programs: emulated (qemu-user)"
        else
            report "32-bit programs: native"
        fi
        return
    fi
    case "$failure" in
    *"Exec format error"*) ;;
    *) report "32-bit suite SKIPPED: the 32-bit Wine loader does not start: $failure"; return ;;
    esac
    echo "bootstrap: this machine refuses 32-bit Linux programs ($WINE32_LOADER: Exec format error)"
    if ! failure=$(set_up_emulation); then
        report "32-bit suite SKIPPED: 32-bit programs do not run and $failure"
        return
    fi
    if failure=$(run_wine32_loader); then
        report "32-bit programs: emulated (qemu-user)"
    else
        report "32-bit suite SKIPPED: the 32-bit Wine loader does not start even emulated: $failure"
    fi
}

[ -n "$only_wine10" ] || wine32_status

# --- The second platform: Wine 10 in a Debian 13 root -------------------------
# Made once, inside the build tree, and reused. It is made under another name
# and renamed when complete, so an interrupted run never leaves something that
# looks like a root. debootstrap mounts /proc and /sys inside the root it
# makes; it runs in a mount namespace of its own, and apt inside the root runs
# under bubblewrap, so every such mount ends with its command, even a killed
# one: a root is never deleted with the machine's /proc or /dev inside it.
WINE10_ROOT=build/wine10-root
WINE10_PACKAGES="wine wine64 wine32:i386 fonts-wine xvfb xauth cmake"
wine10_status_file=build/wine10-status
debian_mirror=${DIALVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}

report_wine10() {
    echo "$1" > "$wine10_status_file"
    echo "$1"
}

# remove_unmounted DIR - deletes DIR unless something is mounted inside it.
remove_unmounted() {
    local dir mounts
    dir=$(realpath "$1")
    mounts=$(findmnt -rn -o TARGET | awk -v d="$dir" 'index($0, d) == 1' || true)
    if [ -n "$mounts" ]; then
        echo "something is mounted inside $dir, which is therefore not deleted: $mounts"
        return 1
    fi
    as_root rm -rf --one-file-system "$dir"
}

# Runs a command as root inside the root being made, with the network.
in_new_root() {
    as_root bwrap --bind "$1" / --dev-bind /dev /dev --proc /proc \
        --ro-bind /etc/resolv.conf /etc/resolv.conf --unshare-pid --die-with-parent --cap-add ALL \
        /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "${@:2}"
}

# Makes the root; on failure prints what failed (details in the log).
make_wine10_root() {
    local new="$WINE10_ROOT.new" log=build/wine10-root.log failure wine_name
    for tool in debootstrap:debootstrap bubblewrap:bwrap; do
        command -v "${tool#*:}" >/dev/null && continue
        failure=$(earlier_failure "${tool%:*}") && { echo "${tool%:*} $failure"; return 1; }
        change "installing ${tool%:*}" >&2
        apt_install "${tool%:*}" || { remember_failure "${tool%:*}" "${tool%:*} could not be installed"; return 1; }
    done
    if ! failure=$(as_root true 2>&1); then
        echo "needs root: $failure"
        return 1
    fi
    if [ -e "$new" ]; then
        echo "bootstrap: deleting $new, left by an interrupted run" >&2
        remove_unmounted "$new" || { echo "$new, left by an interrupted run, could not be deleted"; return 1; }
    fi
    echo "bootstrap: making the Debian 13 root $WINE10_ROOT from $debian_mirror (a few minutes, about 2.5 GB; log in $log)" >&2
    mkdir -p "$new"
    if ! as_root unshare --mount --propagation private \
            debootstrap --variant=minbase trixie "$new" "$debian_mirror" >"$log" 2>&1; then
        remember_failure wine10-root "debootstrap failed: $(last_error "$log")" "$log"
        return 1
    fi
    echo "bootstrap: installing $WINE10_PACKAGES in it" >&2
    if ! in_new_root "$new" sh -c "dpkg --add-architecture i386 && apt-get update -qq &&
            apt-get install -y -qq --no-install-recommends $WINE10_PACKAGES && apt-get clean" >>"$log" 2>&1; then
        remember_failure wine10-root "apt-get in the root failed: $(last_error "$log")" "$log"
        return 1
    fi
    # Its name for its Wine, which gives its Wine prefixes theirs (wine-env.sh).
    wine_name=$(in_new_root "$new" /usr/lib/wine/wine64 --version | sed -n 's/^wine-\([0-9]*\).*/wine\1/p')
    if [ -z "$wine_name" ]; then
        remember_failure wine10-root "the root's Wine does not start (/usr/lib/wine/wine64 --version)" "$log"
        return 1
    fi
    echo "$wine_name" | as_root tee "$new/etc/dialvane-wine" >/dev/null
    as_root mv "$new" "$WINE10_ROOT"
}

if [ -n "$with_wine10" ]; then
    # One run at a time makes the root. The lock is inherited by what the run
    # starts, so a run that is killed holds it until its debootstrap and apt
    # have ended too.
    exec 9>build/wine10-root.lock
    if ! flock -n 9; then
        echo "bootstrap: waiting for another run that is making $WINE10_ROOT"
        flock 9
    fi
    if [ -f "$WINE10_ROOT/etc/dialvane-wine" ]; then
        report_wine10 "Wine 10 root: $WINE10_ROOT"
    elif failure=$(earlier_failure wine10-root); then
        report_wine10 "Wine 10 suite SKIPPED: the Debian 13 root $failure"
    elif failure=$(make_wine10_root); then
        report_wine10 "Wine 10 root: $WINE10_ROOT (made now)"
    else
        if [ -e "$WINE10_ROOT.new" ]; then
            remove_unmounted "$WINE10_ROOT.new" >&2 || true
        fi
        report_wine10 "Wine 10 suite SKIPPED: ${failure:-the Debian 13 root could not be made}"
    fi
fi
