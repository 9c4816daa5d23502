#!/usr/bin/env bash
# Installs what building and testing Tunewell needs on a Debian machine.
# Safe to run again: it installs only what is missing. Works as root or with sudo.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    libgtest-dev libgmock-dev googletest
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth
    clang lld libclang-rt-14-dev llvm clang-format
    libbenchmark-dev rapidjson-dev nlohmann-json3-dev
    nodejs npm chromium fonts-noto-color-emoji fonts-noto-cjk
    imagemagick
)

missing=()
for package in "${packages[@]}"; do
    # Node.js builds from other sources bring npm with them and conflict with Debian's.
    [ "$package" = npm ] && command -v npm >/dev/null && continue
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Node packages for the browser tests, the end-to-end tests and the demo
# (playwright-core drives Debian's Chromium).
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -d "$root/tools/chromium_driver/node_modules" ]; then
    (cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)
fi
echo "setup: ready"
