#!/usr/bin/env bash
# Builds the example extension as a project outside this repository would,
# against the Tunewell package installed from a Windows build, and runs it in
# the host simulator under Wine over the stand-in runtime, where
# examples/now_playing/check.txt checks its menu entry, its page call and its
# reaction to a host event.
#
#   tools/check-example.sh [Windows build folder, default build/windows-release]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build/windows-release}" && pwd)"
prefix="$build/example/tunewell-prefix"
example_build="$build/example/now_playing"

# The library depends on every target of the package; the simulator brings
# the stand-in runtime and its control DLL.
cmake --build "$build" --target tunewell host_simulator
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The toolchain looks for packages inside the MinGW tree only; a staging
# prefix counts as part of that tree.
cmake -S "$root/examples/now_playing" -B "$example_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_STAGING_PREFIX="$prefix" >/dev/null
cmake --build "$example_build"

# Microsoft's loader, embedded in the example as in tunewell.dll, takes the
# runtime folder only as a Windows path with backslashes.
runtime="Z:$(printf '%s' "$build/webview2-standin-runtime" | tr / '\\')"
log="$example_build/check.log"
status=0
WEBVIEW2_BROWSER_EXECUTABLE_FOLDER="$runtime" "$root/tools/wine-run.sh" \
    "$build/tools/host_simulator/host_simulator.exe" "$example_build/now_playing.dll" \
    "$root/tools/host_simulator/sample-setlist.json" "$root/examples/now_playing/check.txt" >"$log" || status=$?
grep -E '^(ok|FAILED|host quit)' "$log"
if [ "$status" -ne 5 ] || grep -q '^FAILED' "$log"; then
    echo "check-example.sh: the example failed its check (exit $status); the whole run is in $log" >&2
    exit 1
fi
echo "examples/now_playing: built against the installed package and checked in the host simulator"
