#!/usr/bin/env bash
# Runs the chooser end to end: the stand-in variant of the Tunewell library in
# the host simulator under Wine, its page in Debian's headless Chromium, real
# mouse clicks.
#
#   tools/run-e2e-tests.sh [WINDOWS_BUILD_DIR]
#
# WINDOWS_BUILD_DIR (or $TUNEWELL_WINDOWS_BUILD_DIR) is a build directory of
# the windows preset, configured here if it is new; default build/windows.
# Screenshots go to $TUNEWELL_ARTIFACTS_DIR (default build/artifacts).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-${TUNEWELL_WINDOWS_BUILD_DIR:-$root/build/windows}}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset windows -B "$build_dir" >/dev/null)
fi
cmake --build "$build_dir" --target host_simulator tunewell-standin -j2

if [ ! -d "$root/tools/chromium_driver/node_modules" ]; then
    (cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)
fi

export TUNEWELL_WINDOWS_BUILD_DIR="$build_dir"
export TUNEWELL_ARTIFACTS_DIR="${TUNEWELL_ARTIFACTS_DIR:-$root/build/artifacts}"
cd "$root"
# Each wait inside has its own bound; this one stops a run that hangs anyway.
exec timeout --kill-after=10 240 node --test --test-concurrency=1 --test-timeout=120000 tests/e2e/
