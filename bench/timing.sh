# Timing helpers the benchmark scripts share; source it.

now_ns() { date +%s%N; }

# median_of SECONDS...: the middle value (the mean of the two middle ones).
median_of() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# timed N COMMAND...: runs the command N times (output discarded), prints the
# median wall time in seconds.
timed() {
    local n=$1 i t0 t1
    shift
    local times=()
    for ((i = 0; i < n; i++)); do
        t0=$(now_ns)
        "$@" >/dev/null 2>&1
        t1=$(now_ns)
        times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", (b - a) / 1e9 }')")
    done
    median_of "${times[@]}"
}

# ratio A B: A / B with two decimals; verdict VALUE MAX: "met" or "MISSED".
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v max="$2" 'BEGIN { print (v <= max ? "met" : "MISSED") }'; }

# build_cli: builds linecast-cli (Release, no window) in build/bench and sets
# $cli and $rules to the program and its shipped rules. Needs $root.
build_cli() {
    local build="$root/build/bench"
    printf '%s\n' "Building linecast-cli (Release) in $build" >&2
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLINECAST_BUILD_GUI=OFF \
        -DLINECAST_BUILD_TESTS=OFF -DLINECAST_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target linecast-cli >/dev/null
    cli="$build/dist/linecast-cli"
    rules="$build/dist/conf/conf.xml"
}
