#!/usr/bin/env bash
# Builds the benchmarks optimised (Release, -O2, no sanitizers) and runs them:
# the native figures against RapidJSON, nlohmann/json, std::to_chars and
# snprintf, then, under Wine, mapping a DLL from memory against LoadLibrary,
# and the chooser's time to list over the stand-in runtime.
# Each part ends with a table of figures and ratios measured in the same run.
#
#   tools/bench.sh [Google Benchmark arguments, e.g. --benchmark_filter=parse]
#
# Without arguments each benchmark runs five times, interleaved at random with
# the others so that a burst of load elsewhere hits no implementation alone,
# and its fastest run counts; the output ends with the spread that was seen.
#
# TUNEWELL_BENCH_DIR (default build/bench) and TUNEWELL_BENCH_WINDOWS_DIR
# (default build/bench-windows) choose the build folders; TUNEWELL_BENCH_SKIP_WINDOWS=1
# leaves out the Wine part.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/tools/setup.sh"

native_dir="${TUNEWELL_BENCH_DIR:-$root/build/bench}"
windows_dir="${TUNEWELL_BENCH_WINDOWS_DIR:-$root/build/bench-windows}"
release_flags=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
               -DTUNEWELL_SANITIZE=OFF -DTUNEWELL_BUILD_TESTS=OFF -DTUNEWELL_BUILD_BENCHMARKS=ON)

printf '==== Native benchmarks (%s)\n' "$native_dir"
cmake -S . -B "$native_dir" -G Ninja "${release_flags[@]}" >/dev/null
cmake --build "$native_dir" --target tunewell_bench -j2
if [ "$#" -eq 0 ]; then
    set -- --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
fi
"$native_dir/benchmarks/tunewell_bench" --benchmark_color=false "$@"

if [ "${TUNEWELL_BENCH_SKIP_WINDOWS:-0}" != 1 ]; then
    printf '\n==== Windows benchmark under Wine (%s)\n' "$windows_dir"
    cmake -S . -B "$windows_dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "${release_flags[@]}" >/dev/null
    cmake --build "$windows_dir" --target memory_dll_bench tw_bench_image time_to_list_bench -j2
    "$root/tools/wine-run.sh" "$windows_dir/benchmarks/memory_dll_bench.exe"

    # The shipped library over the stand-in runtime with its modelled browser
    # start: cold 2 s, attach 150 ms, exit 1 s after the last controller; the
    # time to list, then the recovery after a browser or renderer exit.
    printf '\n==== Time to list under Wine\n'
    runtime_folder="Z:$(printf '%s' "$windows_dir/webview2-standin-runtime" | tr '/' '\\')"
    WEBVIEW2_BROWSER_EXECUTABLE_FOLDER="$runtime_folder" TUNEWELL_STANDIN_BROWSER_PROCESS=2000,150,1000 \
        "$root/tools/wine-run.sh" "$windows_dir/benchmarks/time_to_list_bench.exe"
fi
