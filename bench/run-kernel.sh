#!/usr/bin/env bash
# Speed and memory of linecast-cli on the Linux kernel's C sources (about 55,000
# *.c and *.h files, 1.1 GB), against `wc -l` over the same file list (the floor
# no line counter can beat), ohcount and cloc; then one generated 3 GiB file.
#
#   bash bench/run-kernel.sh
#
# Installs what it needs from Debian (linux-source-6.1, cloc, ohcount), builds
# linecast-cli in Release mode, and unpacks the kernel once into a cache folder
# outside the repository: $LINECAST_BENCH_CACHE, default ~/.cache/linecast-bench.
# LINECAST_BENCH_RUNS sets the runs per tool (default 5; ohcount gets 3, cloc 1).
# linecast-cli counts on one thread per core (its default --jobs); wc -l is
# one process.
# Every time is the median of its runs with a warm page cache. The targets are
# printed beside the results; the script does not fail on a missed one.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${LINECAST_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/linecast-bench}
runs=${LINECAST_BENCH_RUNS:-5}
ohcount_runs=$(((runs + 1) / 2 < 3 ? (runs + 1) / 2 : 3))

say() { printf '%s\n' "$*" >&2; }
# shellcheck source=bench/timing.sh
source "$root/bench/timing.sh"

# --- what the measurements need ---------------------------------------------
# The build's own packages come from the project's set-up; the rest are the
# kernel source, the tools compared and GNU time for the peak memory.
bash "$root/scripts/dev" setup linux-source-6.1 cloc ohcount time xz-utils >&2

build_cli

ktree=$(bash "$root/bench/kernel-tree.sh" "$cache")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The files linecast-cli counts with types ".c;.h": extension compared without
# regard to case, hidden files and folders skipped, links followed for files
# but not for folders.
find "$ktree" -mindepth 1 -name '.*' -prune -o -xtype f \( -iname '*.c' -o -iname '*.h' \) \
    -print0 >"$work/files0"
tr '\0' '\n' <"$work/files0" >"$work/files"
nfiles=$(wc -l <"$work/files")
nbytes=$(xargs -0 cat <"$work/files0" | wc -c)
say "Kernel tree: $ktree, $nfiles files, $((nbytes / 1000000)) MB; warming the page cache"

# --- measuring ---------------------------------------------------------------
# peak_kb COMMAND...: peak resident memory of one run, in kB.
peak_kb() {
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >/dev/null 2>&1
    tail -n 1 "$work/rss"
}

wc_files() { xargs -0 wc -l <"$work/files0"; }
cli_kernel() { "$cli" --rules "$rules" --types ".c;.h" --csv "$work/kernel.csv" "$ktree"; }
ohcount_files() { xargs -0 ohcount <"$work/files0"; }
cloc_files() { cloc --quiet --list-file="$work/files"; }

# Warm the cache and check that linecast-cli counts the same files.
wc_files >/dev/null
cli_kernel >"$work/cli.out"
cli_files=$(awk '$1 == "Total" { gsub(",", "", $2); print $2; exit }' "$work/cli.out")
say "linecast-cli counted $cli_files files, the list has $nfiles"

say "Timing wc -l ($runs runs)"
t_wc=$(timed "$runs" wc_files)
say "Timing linecast-cli ($runs runs)"
t_cli=$(timed "$runs" cli_kernel)
rss_cli=$(peak_kb "$cli" --rules "$rules" --types ".c;.h" --csv "$work/kernel.csv" "$ktree")
say "Timing ohcount ($ohcount_runs runs)"
t_oh=$(timed "$ohcount_runs" ohcount_files)
say "Timing cloc (1 run; it takes minutes)"
t_cloc=$(timed 1 cloc_files)

# One file of 3 GiB, so memory must not grow with the size of a file.
big="$cache/big"
if [ ! -f "$big/.made" ]; then
    say "Generating a 3 GiB C file in $big (once)"
    rm -rf "$big"
    mkdir -p "$big"
    awk 'BEGIN {
        for (i = 0; i < 4096; i++) {
            if (i % 8 == 0) print "/* block comment " i;
            else if (i % 8 == 1) print "   still in the comment */";
            else if (i % 8 == 2) print "";
            else if (i % 8 == 3) print "int value_" i " = " i "; // trailing comment";
            else print "    result += compute(value, " i ") * factor;";
        } }' >"$work/chunk"
    target=$((3 * 1024 * 1024 * 1024))
    : >"$big/big.c"
    while [ "$(stat -c %s "$big/big.c")" -lt "$target" ]; do
        for ((i = 0; i < 256; i++)); do cat "$work/chunk"; done >>"$big/big.c"
    done
    truncate -s "$target" "$big/big.c"
    touch "$big/.made"
fi
cat "$big/big.c" >/dev/null
say "Timing the 3 GiB file"
t_big_wc=$(timed 3 wc -l "$big/big.c")
t_big_cli=$(timed 3 "$cli" --rules "$rules" --types ".c" "$big")
rss_big=$(peak_kb "$cli" --rules "$rules" --types ".c" "$big")

# --- report ------------------------------------------------------------------
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }'; }

echo
echo "Linux kernel *.c and *.h: $nfiles files, $((nbytes / 1000000)) MB (warm page cache)"
printf '%-22s %12s %12s\n' "tool" "median s" "x wc -l"
printf '%-22s %12s %12s\n' "wc -l" "$t_wc" "1.00"
printf '%-22s %12s %12s\n' "linecast-cli (+CSV)" "$t_cli" "$(ratio "$t_cli" "$t_wc")"
printf '%-22s %12s %12s\n' "ohcount" "$t_oh" "$(ratio "$t_oh" "$t_wc")"
printf '%-22s %12s %12s\n' "cloc (one run)" "$t_cloc" "$(ratio "$t_cloc" "$t_wc")"
echo
echo "linecast-cli vs wc -l:    $(ratio "$t_cli" "$t_wc")x (target at most 1: $(verdict "$(ratio "$t_cli" "$t_wc")" 1))"
echo "ohcount vs linecast-cli:  $(ratio "$t_oh" "$t_cli")x faster (target at least 10)"
echo "linecast-cli peak memory: $(mb "$rss_cli") MB (target at most 150: $(verdict "$(mb "$rss_cli")" 150))"
echo
echo "One 3 GiB file:"
echo "  wc -l $t_big_wc s, linecast-cli $t_big_cli s ($(ratio "$t_big_cli" "$t_big_wc")x, target at most 1.2: $(verdict "$(ratio "$t_big_cli" "$t_big_wc")" 1.2))"
echo "  linecast-cli peak memory: $(mb "$rss_big") MB (target at most 64: $(verdict "$(mb "$rss_big")" 64))"
