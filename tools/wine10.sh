#!/usr/bin/env bash
# wine10.sh COMMAND... - runs COMMAND on the second platform: the Debian 13
# root with Wine 10 that "tools/bootstrap.sh --wine10" makes in
# build/wine10-root. The project is seen at the same path inside (read-only,
# its build tree writable), so that programs built on the machine run there
# unchanged; the X sockets are shared, so that a private Xvfb started inside
# picks a display number no other is using.
#
# bubblewrap makes every mount in a namespace of the command's own: nothing
# stays mounted inside the root once the command ends, however it ends. Every
# process it starts ends with it.
set -euo pipefail
project=$(cd "$(dirname "$0")/.." && pwd)
root="$project/build/wine10-root"

if [ ! -f "$root/etc/dialvane-wine" ]; then
    echo "wine10: no Debian 13 root in $root (tools/bootstrap.sh --wine10 makes it)" >&2
    exit 1
fi
if [ ! -d /tmp/.X11-unix ]; then
    mkdir -p -m 1777 /tmp/.X11-unix
fi
cd "$project"
exec bwrap --bind "$root" / --dev-bind /dev /dev --proc /proc \
    --bind /tmp/.X11-unix /tmp/.X11-unix \
    --ro-bind "$project" "$project" --bind "$project/build" "$project/build" \
    --chdir "$project" --unshare-pid --die-with-parent "$@"
