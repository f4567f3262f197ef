#!/usr/bin/env bash
# check-imports.sh BUILD_DIR... - fails if an executable of the build imports a
# DLL that is not part of Windows (a MinGW runtime DLL, say).
set -euo pipefail
# Compared in lower case: import libraries spell the same DLL either way.
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|shell32|version|msvcrt|ole32|oleaut32|api-ms-win-.*)\.dll$'
status=0
for dir in "$@"; do
    case "$dir" in *i686*) objdump=i686-w64-mingw32-objdump ;; *) objdump=x86_64-w64-mingw32-objdump ;; esac
    while IFS= read -r exe; do
        while IFS= read -r dll; do
            if ! [[ "${dll,,}" =~ $allowed ]]; then
                echo "check-imports: $exe imports $dll" >&2
                status=1
            fi
        done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
    done < <(find "$dir" -name '*.exe' -not -path '*/wineprefix/*' -not -path '*/CMakeFiles/*')
done
exit $status
