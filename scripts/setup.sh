#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already present. Works as root
# or through sudo.
set -euo pipefail

packages=(build-essential cmake pkg-config git clang-format libgtest-dev libbenchmark-dev
          libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libfontconfig-dev libvorbis-dev libogg-dev
          libutf8proc-dev fonts-ipafont-mincho locales)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        sudo=()
    elif command -v sudo >/dev/null 2>&1; then
        sudo=(sudo)
    else
        echo "setup: need root or sudo to install: ${missing[*]}" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
