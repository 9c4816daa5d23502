#!/usr/bin/env bash
# Builds the native chooser_stdio and runs the chooser's browser tests in
# Debian's headless Chromium.
#
#   tools/run-browser-tests.sh [BUILD_DIR]
#
# BUILD_DIR (or $TUNEWELL_BROWSER_BUILD_DIR) is a build directory of the linux
# preset, configured here if it is new; default build/linux. The screenshot
# goes to $TUNEWELL_ARTIFACTS_DIR (default build/artifacts).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-${TUNEWELL_BROWSER_BUILD_DIR:-$root/build/linux}}"
case "$build_dir" in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset linux -B "$build_dir")
fi
cmake --build "$build_dir" --target chooser_stdio -j2

chooser_stdio="$build_dir/tools/chooser_stdio/chooser_stdio"
if [ ! -x "$chooser_stdio" ]; then
    echo "run-browser-tests: $chooser_stdio was not built" >&2
    exit 1
fi

# playwright-core comes with the Chromium driver, which starts Chromium for
# these tests too.
if [ ! -d "$root/tools/chromium_driver/node_modules" ]; then
    (cd "$root/tools/chromium_driver" && npm ci --no-audit --no-fund --loglevel=error)
fi

cd "$root/tests/browser"

export TUNEWELL_CHOOSER_STDIO="$chooser_stdio"
export TUNEWELL_ARTIFACTS_DIR="${TUNEWELL_ARTIFACTS_DIR:-$root/build/artifacts}"
exec node --test --test-concurrency=1 --test-timeout=120000 tests/
