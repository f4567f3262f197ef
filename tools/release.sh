#!/usr/bin/env bash
# release.sh [--check] - builds both targets from scratch and writes
# dist/dialvane-VERSION.zip: dialvane.exe (i686, for every Windows from 98
# on), dialvane-x64.exe, README.txt, LICENSE.txt and SHA256SUMS. VERSION
# comes from resources/version.h.
# The archive is reproducible (no link time stamp or build path, and see
# tools/make_zip.py). With --check, everything is built a second time in other
# directories, and the script fails unless all comes out byte for byte the same.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
case "${1:-}" in
--check) check=1 ;;
"") ;;
*) echo "usage: tools/release.sh [--check]" >&2; exit 2 ;;
esac

[ -n "${DIALVANE_BOOTSTRAPPED:-}" ] || tools/bootstrap.sh

version_part() {
    sed -n "s/^#define DIALVANE_VERSION_$1 *\([0-9][0-9]*\).*/\1/p" resources/version.h
}
version="$(version_part MAJOR).$(version_part MINOR).$(version_part PATCH).$(version_part BUILD)"
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "release: no version in resources/version.h" >&2
    exit 1
fi
name="dialvane-$version"

# Every file of the archive is dated with the commit's time (or
# SOURCE_DATE_EPOCH when set): the same commit gives the same archive.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
fi
export SOURCE_DATE_EPOCH

# build_release WORK_DIR: both executables, built in fresh trees under
# WORK_DIR, and the archive made from them in WORK_DIR.
build_release() {
    local work=$1
    rm -rf "$work"
    mkdir -p "$work/files"
    cmake --preset i686 -B "$work/i686" -DDIALVANE_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/i686" --target dialvane -j"$(nproc)" >/dev/null
    cmake --preset x64 -B "$work/x64" -DCMAKE_BUILD_TYPE=MinSizeRel -DDIALVANE_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/x64" --target dialvane -j"$(nproc)" >/dev/null
    tools/check-imports.sh "$work/i686" "$work/x64"

    cp "$work/i686/dialvane.exe" "$work/files/dialvane.exe"
    cp "$work/x64/dialvane.exe" "$work/files/dialvane-x64.exe"
    # Text files with CR LF line ends, as every Windows editor reads them.
    sed "s/@VERSION@/$version/; s/\r*\$/\r/" resources/release-readme.txt > "$work/files/README.txt"
    sed 's/\r*$/\r/' resources/license.txt > "$work/files/LICENSE.txt"
    (cd "$work/files" &&
     sha256sum --binary dialvane.exe dialvane-x64.exe README.txt LICENSE.txt | sed 's/$/\r/' > SHA256SUMS)

    python3 tools/make_zip.py "$work/$name.zip" "$work/files"
}

build_release build/release
mkdir -p dist
cp build/release/"$name.zip" dist/
echo "release: dist/$name.zip, $(stat -c %s "dist/$name.zip") bytes"
echo "release: SHA-256 $(sha256sum "dist/$name.zip" | cut -d' ' -f1)"

if [ "$check" = 1 ]; then
    build_release build/release-check
    status=0
    for file in "files/dialvane.exe" "files/dialvane-x64.exe" "$name.zip"; do
        if ! cmp -s "build/release/$file" "build/release-check/$file"; then
            echo "release: $file differs between two builds of the same tree" >&2
            status=1
        fi
    done
    if [ "$status" = 0 ]; then
        echo "release: a second build from scratch gave the same executables and archive"
    fi
    exit $status
fi
