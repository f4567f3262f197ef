#!/usr/bin/env bash
# check-imports.sh BUILD_DIR... - fails if an executable of the build imports a
# DLL that is not part of Windows (a MinGW runtime DLL, say), or asks for a
# newer Windows than its target runs: 32-bit executables must keep subsystem
# and system version 4.0, as Windows 98 requires, and 64-bit ones subsystem
# version 5.2, the first x86-64 Windows. Each dialvane.exe must also carry its
# manifest.
set -euo pipefail
# Compared in lower case: import libraries spell the same DLL either way.
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|shell32|version|msvcrt|ole32|oleaut32|api-ms-win-.*)\.dll$'
status=0
for dir in "$@"; do
    case "$dir" in
    *i686*) objdump=i686-w64-mingw32-objdump; versions=(Subsystem=4.0 OSystem=4.0) ;;
    *) objdump=x86_64-w64-mingw32-objdump; versions=(Subsystem=5.2) ;;
    esac
    while IFS= read -r exe; do
        headers=$("$objdump" -p "$exe")
        while IFS= read -r dll; do
            if ! [[ "${dll,,}" =~ $allowed ]]; then
                echo "check-imports: $exe imports $dll" >&2
                status=1
            fi
        done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
        for wanted in "${versions[@]}"; do
            field=${wanted%=*}
            major=$(sed -n "s/^Major${field}Version\s*//p" <<<"$headers")
            minor=$(sed -n "s/^Minor${field}Version\s*//p" <<<"$headers")
            if [ "$major.$minor" != "${wanted#*=}" ]; then
                echo "check-imports: $exe has ${field/OSystem/system} version $major.$minor, not ${wanted#*=}" >&2
                status=1
            fi
        done
        if [ "$(basename "$exe")" = dialvane.exe ] &&
           ! grep -q 'requestedExecutionLevel level="asInvoker"' "$exe"; then
            echo "check-imports: $exe carries no manifest" >&2
            status=1
        fi
    done < <(find "$dir" -name '*.exe' -not -path '*/wineprefix/*' -not -path '*/CMakeFiles/*')
done
exit $status
