#!/usr/bin/env bash
# Sets up the machine, builds Tunewell for Windows and runs the demo.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/tools/setup.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "demo: built $(find build/windows -maxdepth 3 -name '*.dll' | wc -l) DLLs and $(find build/windows -maxdepth 3 -name '*.exe' | wc -l) programs"
