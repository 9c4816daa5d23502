#!/usr/bin/env bash
# Builds the release tunewell.dll and packs the performer's download,
# build/windows-release/tunewell-<version>-windows-x64.zip: the DLL, an install
# note and the third-party notice with Microsoft's loader licence.
#
#   tools/package.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

cmake --preset windows-release | grep -F "tunewell.dll embeds"
cmake --build --preset windows-release --target tunewell_package
ls -l "$root"/build/windows-release/tunewell-*-windows-x64.zip
