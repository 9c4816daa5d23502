#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (ASan + UBSan + coverage) and runs
# each one for the given number of seconds (default 30) from its seed corpus.
# Exits non-zero when a target finds a crash; the input that caused it is
# left in the build folder's artifacts/<target>/ and named on the output.
#   tools/fuzz.sh [seconds-per-target] [target...]
# TUNEWELL_FUZZ_SEED fixes the seed. TUNEWELL_FUZZ_RUNS stops each target
# after that many inputs instead, the seconds then being only an upper bound:
# with both, a run takes the same path on a fast machine and a slow one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
shift || true
build="${TUNEWELL_FUZZ_BUILD_DIR:-$root/build/fuzz}"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(json_round_trip bridge_dispatch value_building host_utilities image_checks)
fi

for tool in clang clang++ cmake ninja; do
    command -v "$tool" >/dev/null || { echo "fuzz.sh: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTUNEWELL_BUILD_FUZZERS=ON -DTUNEWELL_BUILD_TESTS=OFF -DTUNEWELL_SANITIZE=ON \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

failed=()
for target in "${targets[@]}"; do
    work="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    mkdir -p "$work" "$artifacts"
    # An input of the value builder is a program whose checks cost time in
    # proportion to what it built so far; short programs find the same faults
    # and leave the time for many more of them.
    max_len=4096
    [ "$target" = value_building ] && max_len=512
    options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="$artifacts")
    [ -n "${TUNEWELL_FUZZ_SEED:-}" ] && options+=(-seed="$TUNEWELL_FUZZ_SEED")
    [ -n "${TUNEWELL_FUZZ_RUNS:-}" ] && options+=(-runs="$TUNEWELL_FUZZ_RUNS")
    dictionary="$root/fuzz/dictionaries/$target.dict"
    [ -f "$dictionary" ] && options+=(-dict="$dictionary")
    printf '\n==== fuzzing %s for %s\n' "$target" "${TUNEWELL_FUZZ_RUNS:+$TUNEWELL_FUZZ_RUNS inputs, at most }${seconds}s"
    if ! "$build/fuzz/fuzz_$target" "${options[@]}" "$work" "$root/fuzz/corpus/$target" 2>"$build/$target.log"; then
        tail -n 40 "$build/$target.log"
        failed+=("$target")
    else
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$build/$target.log" || true
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz.sh: crashes in: ${failed[*]} (inputs under $build/artifacts/)" >&2
    exit 1
fi
echo "fuzz.sh: ${#targets[@]} targets ran ${TUNEWELL_FUZZ_RUNS:+$TUNEWELL_FUZZ_RUNS inputs or }${seconds}s each without a crash"
