#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already installed. Runs apt-get only when something is missing.
set -euo pipefail

packages=(cmake make python3 g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 xvfb xauth
          googletest imagemagick fonts-wine)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
