#!/usr/bin/env bash
# make-wine10-root.sh - makes the second platform once: a Debian 13 root in
# build/wine10-root with Wine 10 and what the suite needs, for tools/wine10.sh.
# It needs no privileges and changes nothing on the machine: mmdebstrap makes
# the root in a user namespace (as root, in a mount namespace of its own) and
# streams it as a tarball, unpacked here as the calling user, whose it then is.
# It is unpacked under another name and renamed when complete; the next run
# clears what an interrupted one left. Every process stays in the caller's
# process group. A failure is not remembered: the next run tries again.
# Leaves WINE10=ready|none and WINE10_REASON in build/wine10.env.
set -euo pipefail
cd "$(dirname "$0")/.."

root=build/wine10-root
new=build/wine10-root.new
work=build/wine10-tmp
log=build/wine10-root.log
packages=wine,wine64,wine32:i386,fonts-wine,xvfb,xauth,cmake
mirror=${DIALVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}

result() {
    printf 'WINE10=%s\nWINE10_REASON=%s\n' "$1" "$2" > build/wine10.env
    echo "make-wine10-root: ${2:-$root is ready}"
}

# One run at a time. The lock is inherited by what the run starts, so a
# killed run holds it until mmdebstrap has ended too.
exec 9>build/wine10-root.lock
if ! flock -n 9; then
    echo "make-wine10-root: waiting for another run that is making $root"
    flock 9
fi
if [ -f "$root/etc/dialvane-wine" ]; then
    result ready ""
    exit 0
fi

# Deletes what a run being made left. mmdebstrap's own folder holds files of
# the user's subordinate ids, which only its user namespace can delete; what
# is left then is the user's.
clear_work() {
    if [ -e "$work" ] && [ "$(id -u)" -ne 0 ]; then
        mmdebstrap --unshare-helper find "$PWD/$work" -mindepth 2 -delete 2>/dev/null || true
    fi
    rm -rf --one-file-system "$work" "$new"
}
# stop_tree PID... - stops processes and everything they started.
stop_tree() {
    local pid
    for pid; do
        kill -STOP "$pid" 2>/dev/null || continue
        stop_tree $(pgrep -P "$pid")
        kill -KILL "$pid" 2>/dev/null || true
    done
}
# shellcheck disable=SC2317 # run by the TERM trap: all this started ends, and leaves nothing
stop() {
    stop_tree $(pgrep -P $$)
    wait
    clear_work
    exit 143
}

[ -f "$root/etc/dialvane-wine" ] || rm -rf --one-file-system "$root"
clear_work
echo "make-wine10-root: making $root from $mirror (a few minutes, about 2.3 GB; log in $log)"
mkdir -p "$new" "$work"
if [ "$(id -u)" -eq 0 ]; then
    mmdebstrap=(unshare --mount --propagation private mmdebstrap --mode=root)
else
    mmdebstrap=(mmdebstrap --mode=unshare)
fi
trap stop TERM INT
# In the background, so that a TERM is acted on at once.
TMPDIR="$PWD/$work" "${mmdebstrap[@]}" --variant=minbase --architectures=amd64,i386 \
    --include="$packages" --skip=output/dev trixie - "$mirror" 2>"$log" | tar -x -C "$new" &
if ! wait $!; then
    clear_work
    result none "mmdebstrap failed: $(grep -E '^E:' "$log" | head -n 1 || tail -n 1 "$log")"
    exit 1
fi
rmdir "$work"

# Its name for its Wine, which gives its Wine prefixes theirs (wine-env.sh).
wine=$(bwrap --bind "$new" / --dev /dev --proc /proc --unshare-all --die-with-parent \
       /usr/lib/wine/wine64 --version | sed -n 's/^wine-\([0-9]*\).*/wine\1/p')
if [ -z "$wine" ]; then
    result none "the root's Wine does not start (/usr/lib/wine/wine64 --version)"
    exit 1
fi
echo "$wine" > "$new/etc/dialvane-wine"
mv -T "$new" "$root"
result ready ""
