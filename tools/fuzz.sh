#!/usr/bin/env bash
# Builds the libFuzzer programs with clang (ASan + UBSan + coverage) and runs
# each one for the given number of seconds (default 30) from its kept corpus.
# Exits non-zero when a target finds a crash; the input that caused it is
# left in the build folder's artifacts/<target>/ and named on the output.
#   tools/fuzz.sh [seconds-per-target] [target...]
# TUNEWELL_FUZZ_SEED fixes the seed. TUNEWELL_FUZZ_RUNS stops each target
# after that many inputs instead, the seconds then being only an upper bound:
# with both, a run takes the same path on a fast machine and a slow one.
#
#   tools/fuzz.sh --campaign seconds-per-target [target...]
# A campaign keeps what it finds: each target starts from its kept corpus
# with a fresh random seed (or TUNEWELL_FUZZ_SEED), writes what it finds into
# a fresh folder, and that folder is then merged into fuzz/corpus/<target>,
# taking only the inputs that reach coverage the kept corpus does not.
# A crash input is copied to fuzz/regressions/<target>/, where the tests
# replay it. Each target's seed, length, executions, coverage and corpus
# sizes go to build/fuzz/campaign/<target>-<seed>.txt and the output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
campaign=false
if [ "${1:-}" = --campaign ]; then
    campaign=true
    shift
    [ $# -ge 1 ] || { echo "fuzz.sh: --campaign needs the seconds per target" >&2; exit 2; }
fi
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

# The options every run of a target shares, in the array "options".
set_common_options() {
    local target="$1" artifacts="$2"
    # An input of the value builder is a program whose checks cost time in
    # proportion to what it built so far; short programs find the same faults
    # and leave the time for many more of them.
    local max_len=4096
    [ "$target" = value_building ] && max_len=512
    # A value program near the length limit can take seconds on a busy
    # machine with the sanitizers' memory checks; a hang still stops the run.
    options=(-max_len="$max_len" -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$artifacts")
    local dictionary="$root/fuzz/dictionaries/$target.dict"
    [ -f "$dictionary" ] && options+=(-dict="$dictionary")
    return 0
}

corpus_size() {
    printf '%s files, %s bytes' "$(find "$@" -type f | wc -l)" "$(find "$@" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')"
}

# Runs one campaign; returns non-zero when the target crashed.
run_campaign() {
    local target="$1" seed="$2"
    local kept="$root/fuzz/corpus/$target" work="$build/campaign/$target-$seed"
    local log="$work.log" summary="$work.txt" status=0
    rm -rf "$work"
    mkdir -p "$work/found" "$work/artifacts"
    set_common_options "$target" "$work/artifacts/"
    local before_kept
    before_kept="$(corpus_size "$kept")"
    printf '\n==== campaign: %s for %ss, seed %s\n' "$target" "$seconds" "$seed"
    local started=$SECONDS
    "$build/fuzz/fuzz_$target" "${options[@]}" -max_total_time="$seconds" -seed="$seed" \
        -print_final_stats=1 "$work/found" "$kept" 2>"$log" || status=$?
    local ran=$((SECONDS - started))
    local found
    found="$(corpus_size "$work/found")"
    # Only inputs that add coverage to the kept corpus join it.
    "$build/fuzz/fuzz_$target" "${options[@]}" -merge=1 "$kept" "$work/found" 2>"$work.merge.log" \
        || { echo "fuzz.sh: merging the corpus of $target failed (see $work.merge.log)" >&2; status=1; }
    local crashes=()
    for input in "$work"/artifacts/*; do
        [ -f "$input" ] || continue
        mkdir -p "$root/fuzz/regressions/$target"
        cp "$input" "$root/fuzz/regressions/$target/"
        crashes+=("fuzz/regressions/$target/$(basename "$input")")
    done
    {
        echo "target: $target"
        echo "seed: $seed"
        echo "wall time: ${ran}s (asked: ${seconds}s)"
        echo "executions: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
        echo "final coverage: $(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1)"
        echo "kept corpus before: $before_kept"
        echo "found by the run: $found"
        echo "kept corpus after merging: $(corpus_size "$kept")"
        echo "crash inputs: ${crashes[*]:-none}"
    } >"$summary"
    cat "$summary"
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$log"
    fi
    return "$status"
}

failed=()
if $campaign; then
    for target in "${targets[@]}"; do
        seed="${TUNEWELL_FUZZ_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}"
        run_campaign "$target" "$seed" || failed+=("$target")
    done
    if [ ${#failed[@]} -ne 0 ]; then
        echo "fuzz.sh: crashes in: ${failed[*]} (inputs copied to fuzz/regressions/)" >&2
        exit 1
    fi
    echo "fuzz.sh: ${#targets[@]} campaigns of ${seconds}s each without a crash; corpora merged into fuzz/corpus/"
    exit 0
fi

for target in "${targets[@]}"; do
    work="$build/corpus/$target"
    artifacts="$build/artifacts/$target/"
    mkdir -p "$work" "$artifacts"
    set_common_options "$target" "$artifacts"
    options+=(-max_total_time="$seconds" -print_final_stats=1)
    [ -n "${TUNEWELL_FUZZ_SEED:-}" ] && options+=(-seed="$TUNEWELL_FUZZ_SEED")
    [ -n "${TUNEWELL_FUZZ_RUNS:-}" ] && options+=(-runs="$TUNEWELL_FUZZ_RUNS")
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
