#!/usr/bin/env bash
# check-imports.sh BUILD_DIR... - fails if an executable of the build imports a
# DLL that is not part of Windows (a MinGW runtime DLL, say), or asks for a
# newer Windows than its target runs: 32-bit executables must keep subsystem
# and system version 4.0, as Windows 98 requires, and 64-bit ones subsystem
# version 5.2, the first x86-64 Windows. Each dialvane.exe must also carry its
# manifest and import only DLLs that Windows protects from planted copies, and
# the 32-bit dialvane.exe may import only the functions listed in
# tools/win98-imports.txt, all of which Windows 98 provides.
set -euo pipefail
win98_list=$(dirname "$0")/win98-imports.txt
# Compared in lower case: import libraries spell the same DLL either way.
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|shell32|version|msvcrt|ole32|oleaut32|api-ms-win-.*)\.dll$'
# dialvane.exe imports only DLLs that Windows protects from a copy planted in
# the program's folder (KnownDLLs); any other DLL it needs, it loads itself
# from the system folder.
protected='^(kernel32|user32|gdi32|advapi32|shell32|msvcrt)\.dll$'
status=0

# "dll function" for every function the import tables of `objdump -p` output
# name, the DLL in lower case; a function imported by ordinal only as "#n".
imported_functions() {
    awk '/^\tDLL Name: / { dll = tolower($3); next }
         /^$/ { dll = "" }
         dll && /^\t[0-9a-f]+\t/ { print dll, ($3 == "<none>" ? "#" $2 : $3) }'
}

for dir in "$@"; do
    case "$dir" in
    *i686*) objdump=i686-w64-mingw32-objdump; versions=(Subsystem=4.0 OSystem=4.0); win98=1 ;;
    *) objdump=x86_64-w64-mingw32-objdump; versions=(Subsystem=5.2); win98= ;;
    esac
    while IFS= read -r exe; do
        headers=$("$objdump" -p "$exe")
        pattern=$allowed
        [ "$(basename "$exe")" = dialvane.exe ] && pattern=$protected
        while IFS= read -r dll; do
            if ! [[ "${dll,,}" =~ $pattern ]]; then
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
        if [ -n "$win98" ] && [ "$(basename "$exe")" = dialvane.exe ]; then
            while read -r dll function; do
                echo "check-imports: $exe imports $function from $dll, which $win98_list does not list" >&2
                status=1
            done < <(LC_ALL=C comm -23 <(imported_functions <<<"$headers" | LC_ALL=C sort -u) \
                                       <(grep -v '^#' "$win98_list" | LC_ALL=C sort -u))
        fi
    done < <(find "$dir" -name '*.exe' -not -path '*/wineprefix*/*' -not -path '*/CMakeFiles/*' -not -path '*/test-output/*')
done
exit $status
