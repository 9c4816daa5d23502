#!/usr/bin/env bash
# Runs the chooser end to end: the release tunewell.dll in the host simulator
# under Wine, Microsoft's loader inside it, the stand-in browser runtime that
# the loader finds through WEBVIEW2_BROWSER_EXECUTABLE_FOLDER, the page in
# Debian's headless Chromium, real mouse clicks; and the same DLL with no
# runtime at all, which shows its notice.
#
#   tools/run-e2e-tests.sh [WINDOWS_BUILD_DIR]
#
# WINDOWS_BUILD_DIR (or $TUNEWELL_WINDOWS_BUILD_DIR) is a build directory of
# the windows-release preset, configured here if it is new; default
# build/windows-release.
# Screenshots (of Chromium's pages, and of the X display with the notice) go
# to $TUNEWELL_ARTIFACTS_DIR (default build/artifacts).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-${TUNEWELL_WINDOWS_BUILD_DIR:-$root/build/windows-release}}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset windows-release -B "$build_dir" >/dev/null)
fi
cmake --build "$build_dir" --target host_simulator tunewell webview2_standin_runtime -j2

if [ ! -d "$root/tools/chromium_driver/node_modules" ]; then
    (cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)
fi

export TUNEWELL_WINDOWS_BUILD_DIR="$build_dir"
export TUNEWELL_ARTIFACTS_DIR="${TUNEWELL_ARTIFACTS_DIR:-$root/build/artifacts}"
cd "$root"
# Each wait inside has its own bound; this one stops a run that hangs anyway.
exec timeout --kill-after=10 240 node --test --test-concurrency=1 --test-timeout=120000 tests/e2e/
