#!/usr/bin/env bash
# Runs each libFuzzer target for the given number of seconds (default 60):
#   bash tests/fuzz/run.sh [SECONDS]
# Builds them first with clang in build/fuzz (needs the Debian packages clang
# and libfuzzer-14-dev). New inputs go to build/fuzz/corpus/, an input that
# breaks a target to build/fuzz/findings/, and the script then fails.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="$root/build/fuzz"
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DLINECAST_FUZZ=ON -DLINECAST_BUILD_GUI=OFF -DLINECAST_BUILD_TESTS=OFF \
    -DLINECAST_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_counters fuzz_rules

mkdir -p "$build/findings"
run() { # target, seed corpus, extra libFuzzer options...
    local target=$1 seeds=$2 log="$build/$1.log"
    shift 2
    mkdir -p "$build/corpus/$target"
    echo "== $target, $seconds s"
    # The committed seeds are only read; the inputs the fuzzer adds go to its
    # own folder, which the next run starts from.
    if "$build/tests/fuzz/$target" "$build/corpus/$target" "$seeds" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$@" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log"
    else
        tail -n 40 "$log"
        echo "$target found a fault; the input is in $build/findings/, the log in $log" >&2
        return 1
    fi
}
run fuzz_counters "$root/tests/fuzz/corpus/counters" -max_len=4096
run fuzz_rules "$root/tests/fuzz/corpus/rules" -max_len=65536 -dict="$root/tests/fuzz/rules.dict"
