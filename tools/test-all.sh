#!/usr/bin/env bash
# Sets up a Debian machine, builds both platforms and runs every test:
# the native suite under sanitizers, the Windows suite under Wine, the release
# tunewell.dll with Microsoft's loader inside, the page in a real browser and
# the whole chooser end to end. Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

"$root/tools/setup.sh"

export TUNEWELL_STATE_DIR="${TUNEWELL_STATE_DIR:-$root/build/state}"
cleanup() {
    WINEPREFIX="$TUNEWELL_STATE_DIR/wine" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT

step() { printf '\n==== %s\n' "$*"; }

step "Formatting: the product's sources and the examples as .clang-format states the house style"
find src examples \( -name '*.h' -o -name '*.cpp' \) -print0 | xargs -0 clang-format --dry-run --Werror --style=file
echo "src, examples: formatted"

step "Linux: configure, build, test (ASan + UBSan)"
cmake --preset linux >/dev/null
cmake --build --preset linux
ctest --preset linux

step "Windows: cross build with MinGW-w64, tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows

step "Windows release: tunewell.dll with Microsoft's loader inside, the tests that load it"
cmake --preset windows-release | grep -F "tunewell.dll embeds"
cmake --build --preset windows-release
ctest --preset windows-release
echo "tunewell.dll: $(stat -c %s "$root/build/windows-release/src/extension/tunewell.dll") bytes;" \
     "package: $(ls "$root"/build/windows-release/tunewell-*-windows-x64.zip)"

step "Chooser page in Chromium against the native logic"
"$root/tools/run-browser-tests.sh" "$root/build/linux"

step "Example extension: built against the installed package, run in the host simulator"
"$root/tools/check-example.sh" "$root/build/windows-release"

step "The whole chooser: the release DLL under Wine in the host simulator, the page in Chromium"
"$root/tools/run-e2e-tests.sh" "$root/build/windows-release"

# A fixed seed and a fixed number of inputs: the same inputs are tried on
# every machine, however fast, so a pass here is a pass everywhere.
step "Fuzzing every target on a fixed number of inputs"
TUNEWELL_FUZZ_SEED="${TUNEWELL_FUZZ_SEED:-1}" TUNEWELL_FUZZ_RUNS="${TUNEWELL_FUZZ_RUNS:-100000}" \
    "$root/tools/fuzz.sh" "${TUNEWELL_FUZZ_SECONDS:-300}"

step "All tests passed"
