#!/usr/bin/env bash
# wine10.sh COMMAND... - runs COMMAND on the second platform: the Debian 13
# root with Wine 10 that tools/make-wine10-root.sh makes in build/wine10-root.
# The project is seen at the same path inside (read-only, its build tree
# writable), so that programs built on the machine run there unchanged.
#
# The command gets a /tmp and a network of its own and no display of the
# machine's: wine-session.sh starts a private Xvfb inside, which shares no
# socket, lock file or display number with any X server outside, and needs
# no X cookie. HOME is that private /tmp, as the root has no home for the
# user. bubblewrap makes every mount in a namespace of the command's own:
# nothing stays mounted once the command ends, however it ends, and every
# process it starts ends with it.
set -euo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
root="$project/build/wine10-root"

if [ ! -f "$root/etc/dialvane-wine" ]; then
    echo "wine10: no Debian 13 root in $root (tools/make-wine10-root.sh makes it)" >&2
    exit 1
fi
exec bwrap --bind "$root" / --dev-bind /dev /dev --proc /proc --tmpfs /tmp \
    --ro-bind "$project" "$project" --bind "$project/build" "$project/build" \
    --unshare-net --unshare-pid --die-with-parent --chdir "$project" \
    --setenv HOME /tmp --unsetenv DISPLAY --unsetenv XAUTHORITY "$@"
