#!/usr/bin/env bash
# bootstrap.sh - prepares this machine for building and testing Dialvane; the
# one script that changes the machine. It installs the missing packages, makes
# Wine run 32-bit Windows programs (natively, or under qemu-i386 alone where
# the kernel refuses 32-bit Linux programs), makes /tmp/.X11-unix root's where
# it is missing, and checks what tools/make-wine10-root.sh needs. Every change
# is named before it is made; nothing is remembered, so a failure is tried
# again on the next run. What it found goes to build/setup.env, read through
# tools/setup-values.sh: WINE32=native|emulated|none, WINE10=ready|makeable|none,
# each with its _REASON where none.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/setup

packages=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth
          googletest imagemagick fonts-wine shellcheck mmdebstrap uidmap bubblewrap)
# What a package does beyond installing its files, said when it is installed.
declare -A side_effects=([uidmap]="the setuid-root newuidmap and newgidmap, through which
users map the subordinate ids /etc/subuid gives them")
WINE32_LOADER=/usr/lib/wine/wine
BINFMT=/proc/sys/fs/binfmt_misc
QEMU_I386=/usr/local/libexec/dialvane/qemu-i386
QEMU_I386_ENTRY=":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU_I386:F"

change() {
    echo "bootstrap: $*"
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Runs a command as root: through sudo when this is not root, which asks for
# a password on the terminal, once (sudo keeps the answer), and never where
# there is no terminal.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif ! command -v sudo >/dev/null; then
        echo "bootstrap: NEEDS A PERSON: this needs root, and sudo is not installed: $*" >&2
        return 1
    elif ! [ -t 0 ] && ! sudo -n true 2>/dev/null; then
        echo "bootstrap: NEEDS A PERSON: sudo wants a password, and there is no terminal: $*" >&2
        return 1
    else
        sudo "$@"
    fi
}

# apt_install PACKAGE... - apt's own error is shown when it fails.
apt_updated=""
apt_install() {
    local error=build/setup/apt-error.txt
    if [ -z "$apt_updated" ]; then
        as_root apt-get update -qq 2>"$error" || { cat "$error" >&2; return 1; }
        apt_updated=1
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
        >/dev/null 2>"$error" || { cat "$error" >&2; return 1; }
}

missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    change "installing ${missing[*]} (files only, no services)"
    for package in "${missing[@]}"; do
        [ -z "${side_effects[$package]:-}" ] || change "  $package also brings ${side_effects[$package]//$'\n'/ }"
    done
    if ! apt_install "${missing[@]}"; then
        echo "bootstrap: the packages the build needs could not be installed (apt's error above)" >&2
        exit 1
    fi
fi

if [ ! -d /tmp/.X11-unix ]; then
    change "making /tmp/.X11-unix, root's with mode 1777, where X servers put their sockets"
    as_root install -d -m 1777 -o root -g root /tmp/.X11-unix || true
fi

# --- 32-bit Windows programs: wine32 lets the 64-bit prefix run them (WoW64).
# Its loader is a 32-bit Linux program; where the kernel refuses it with "Exec
# format error", and only there, binfmt_misc hands 32-bit programs to qemu-i386.

# Runs the 32-bit loader; on failure prints the error as the shell reports
# it, in English, so that "Exec format error" can be told from the rest.
run_wine32_loader() {
    local error
    error=$(LC_ALL=C; export LC_ALL; "$WINE32_LOADER" --version 2>&1 >/dev/null) && return
    echo "${error##*: }"
    return 1
}

emulation_registered() {
    [ -f "$BINFMT/qemu-i386" ] && head -n 1 "$BINFMT/qemu-i386" | grep -qx enabled
}

# Registers qemu-i386 for i386 programs only. Debian's qemu-user-static
# package would also register 28 other architectures at every boot, so only
# its qemu-i386 is taken, into a folder of root's: binfmt_misc keeps the file
# open (flag F) for every user's 32-bit programs, so it must not be one that
# a user can write.
set_up_emulation() {
    local deb
    if [ ! -x "$QEMU_I386" ]; then
        change "installing $QEMU_I386: qemu-i386 alone, taken from Debian's qemu-user-static, which is not installed"
        rm -f build/setup/qemu-user-static_*.deb
        [ -n "$apt_updated" ] || as_root apt-get update -qq || return 1
        apt_updated=1
        (cd build/setup && apt-get download qemu-user-static >/dev/null 2>apt-error.txt) ||
            { cat build/setup/apt-error.txt >&2; return 1; }
        deb=$(echo build/setup/qemu-user-static_*.deb)
        dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/qemu-i386-static > build/setup/qemu-i386
        as_root install -D -m 755 -o root -g root build/setup/qemu-i386 "$QEMU_I386" || return 1
    fi
    if ! mountpoint -q "$BINFMT"; then
        change "mounting binfmt_misc on $BINFMT, until the next reboot"
        as_root mount -t binfmt_misc binfmt_misc "$BINFMT" || return 1
    fi
    [ ! -e "$BINFMT/qemu-i386" ] || return 0
    change "registering $QEMU_I386 with binfmt_misc: every user's 32-bit (i386) Linux programs run" \
           "under it until the next reboot; no other architecture is registered"
    printf '%s\n' "$QEMU_I386_ENTRY" | as_root tee "$BINFMT/register" >/dev/null
}

# Prints WINE32 and WINE32_REASON lines.
wine32_status() {
    local failure
    if ! installed wine32:i386; then
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            change "adding the i386 architecture to dpkg (apt then reads i386 package lists too)" >&2
            as_root dpkg --add-architecture i386 >&2 ||
                { printf 'WINE32=none\nWINE32_REASON=the i386 architecture could not be added\n'; return; }
            apt_updated=""
        fi
        change "installing wine32:i386 and the 32-bit libraries it needs (files only)" >&2
        apt_install wine32:i386 >&2 ||
            { printf 'WINE32=none\nWINE32_REASON=wine32:i386 could not be installed\n'; return; }
    fi
    if ! failure=$(run_wine32_loader) && [ "$failure" = "Exec format error" ]; then
        echo "bootstrap: this kernel refuses 32-bit Linux programs ($WINE32_LOADER: $failure)" >&2
        if ! set_up_emulation >&2; then
            failure+=", and qemu-i386 could not be set up (see above)"
        elif ! failure=$(run_wine32_loader); then
            failure+=", even under qemu-i386"
        fi
    fi
    if [ -z "$failure" ] && emulation_registered; then
        echo WINE32=emulated
    elif [ -z "$failure" ]; then
        echo WINE32=native
    else
        printf 'WINE32=none\nWINE32_REASON=the 32-bit Wine loader does not start: %s\n' "$failure"
    fi
}

# --- The second platform: prints WINE10 and WINE10_REASON lines. A user other
# than root makes its root in a user namespace, with subordinate ids.
wine10_status() {
    local user reason=""
    user=$(id -un)
    if [ -f build/wine10-root/etc/dialvane-wine ]; then
        echo WINE10=ready
        return
    fi
    if [ "$(id -u)" -ne 0 ]; then
        if ! grep -q "^$user:" /etc/subuid || ! grep -q "^$user:" /etc/subgid; then
            reason="$user has no subordinate ids in /etc/subuid and /etc/subgid (root can give them:"
            reason+=" usermod --add-subuids 100000-165535 --add-subgids 100000-165535 $user)"
        elif ! unshare --user true 2>/dev/null; then
            reason="this kernel does not let users make user namespaces"
        fi
    fi
    if [ -n "$reason" ]; then
        printf 'WINE10=none\nWINE10_REASON=%s\n' "$reason"
    else
        echo WINE10=makeable
    fi
}

{ wine32_status; wine10_status; } > build/setup.env.new
mv build/setup.env.new build/setup.env
sed 's/^/bootstrap: /' build/setup.env
