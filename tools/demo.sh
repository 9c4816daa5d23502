#!/usr/bin/env bash
# Sets up the machine, builds the release tunewell.dll (Microsoft's WebView2
# loader inside) and runs one showing of the chooser end to end: the host
# simulator under Wine with the sample setlist, Microsoft's loader finding the
# stand-in browser runtime, the page in Debian's headless Chromium, a real
# click on a song, a song renamed in the host, and the page's close button.
# Prints a transcript and saves screenshots before and after the refresh.
#
#   tools/demo.sh [WINDOWS_BUILD_DIR]     (default build/windows-release)
#
# Screenshots go to $TUNEWELL_DEMO_DIR (default build/demo).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

"$root/tools/setup.sh"
build_dir="${1:-${TUNEWELL_WINDOWS_BUILD_DIR:-$root/build/windows-release}}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake --preset windows-release -B "$build_dir" | grep -F "tunewell.dll embeds" || true
fi
echo "demo: building the release tunewell.dll, the host simulator and the stand-in browser runtime"
cmake --build "$build_dir" --target host_simulator tunewell webview2_standin_runtime -j2 >/dev/null

(cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)

export TUNEWELL_WINDOWS_BUILD_DIR="$build_dir"
exec timeout --kill-after=10 180 node "$root/tools/chromium_driver/demo.mjs" "${TUNEWELL_DEMO_DIR:-$root/build/demo}"
