#!/usr/bin/env bash
# Sets up the machine, builds Tunewell for Windows and runs one showing of the
# chooser end to end: the host simulator under Wine with the sample setlist,
# the page in Debian's headless Chromium, a real click on a song, a song
# renamed in the host, and the page's close button. Prints a transcript and
# saves screenshots before and after the refresh.
#
#   tools/demo.sh [WINDOWS_BUILD_DIR]     (default build/windows)
#
# Screenshots go to $TUNEWELL_DEMO_DIR (default build/demo).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

"$root/tools/setup.sh"
build_dir="${1:-${TUNEWELL_WINDOWS_BUILD_DIR:-$root/build/windows}}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake --preset windows -B "$build_dir" >/dev/null
fi
echo "demo: building the host simulator and the library over the stand-in browser runtime"
cmake --build "$build_dir" --target host_simulator tunewell-standin -j2 >/dev/null

(cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)

export TUNEWELL_WINDOWS_BUILD_DIR="$build_dir"
exec timeout --kill-after=10 180 node "$root/tools/chromium_driver/demo.mjs" "${TUNEWELL_DEMO_DIR:-$root/build/demo}"
