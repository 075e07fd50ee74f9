#!/usr/bin/env bash
# Speed of linecast-cli --compare on the Linux kernel's C sources (about
# 55,000 *.c and *.h files) against a copy in which 5% of the files were
# edited, added or removed by bench/edit-tree.py (a fixed seed, so every run
# compares the same pair). Measured in the same run as the baseline: one count
# of the tree by linecast-cli. The target: the comparison takes at most 3
# times that count. Debian's cloc --diff on the same pair is the peer figure,
# and `git diff --no-index --numstat` the check of the lines added and removed.
#
#   bash bench/run-compare.sh
#
# Installs what it needs from Debian (linux-source-6.1, cloc, python3), builds
# linecast-cli in Release mode, and keeps the kernel and its edited copy in a
# cache folder outside the repository: $LINECAST_BENCH_CACHE, default
# ~/.cache/linecast-bench. LINECAST_BENCH_RUNS sets the runs (default 3;
# cloc runs once). Times are medians with a warm page cache.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${LINECAST_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/linecast-bench}
runs=${LINECAST_BENCH_RUNS:-3}
seed=2024

say() { printf '%s\n' "$*" >&2; }
# shellcheck source=bench/timing.sh
source "$root/bench/timing.sh"

bash "$root/scripts/dev" setup linux-source-6.1 cloc python3 xz-utils git >&2

build_cli

ktree=$(bash "$root/bench/kernel-tree.sh" "$cache")
next="$cache/linux-next-$seed"
if [ ! -f "$next/.made" ]; then
    say "Copying the tree to $next and editing 5% of its files (once)"
    rm -rf "$next"
    mkdir -p "$next"
    cp -a "$ktree/." "$next/tree"
    python3 "$root/bench/edit-tree.py" "$seed" 5 "$next/tree" >"$next/edits"
    touch "$next/.made"
fi
edited="$next/tree"
say "The copy: $(cat "$next/edits")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

count() { "$cli" --rules "$rules" --types ".c;.h" "$ktree"; }
compare() { "$cli" --rules "$rules" --types ".c;.h" --compare "$ktree" "$edited"; }
cloc_diff() { cloc --quiet --diff --include-lang="C,C/C++ Header" "$ktree" "$edited"; }

# Warm the page cache with both trees, and check the lines added and removed
# against git's minimal diff.
count >/dev/null
"$cli" --rules "$rules" --types ".c;.h" --compare "$ktree" "$edited" --json "$work/change.json" \
    >"$work/compare.out"
git diff --no-index --numstat --minimal --no-renames "$ktree" "$edited" >"$work/numstat" || true
read -r git_added git_removed < <(awk '$1 != "-" { a += $1; r += $2 } END { print a + 0, r + 0 }' \
    "$work/numstat")
read -r cli_added cli_removed < <(python3 -c '
import json, sys
t = json.load(open(sys.argv[1]))["total"]
print(t["lines_added"], t["lines_removed"])' "$work/change.json")

say "Timing one count ($runs runs)"
t_count=$(timed "$runs" count)
say "Timing the comparison ($runs runs)"
t_compare=$(timed "$runs" compare)
say "Timing cloc --diff (1 run; it takes minutes)"
t_cloc=$(timed 1 cloc_diff)


echo
echo "Linux kernel *.c and *.h against a copy with 5% of the files changed ($(cat "$next/edits"))"
printf '%-28s %10s %12s\n' "run" "median s" "x one count"
printf '%-28s %10s %12s\n' "linecast-cli count" "$t_count" "1.00"
printf '%-28s %10s %12s\n' "linecast-cli --compare" "$t_compare" "$(ratio "$t_compare" "$t_count")"
printf '%-28s %10s %12s\n' "cloc --diff (one run)" "$t_cloc" "$(ratio "$t_cloc" "$t_count")"
echo
echo "comparison vs one count: $(ratio "$t_compare" "$t_count")x (target at most 3: $(verdict "$(ratio "$t_compare" "$t_count")" 3))"
echo "cloc --diff vs the comparison: $(ratio "$t_cloc" "$t_compare")x"
echo "lines added/removed: linecast-cli $cli_added/$cli_removed, git diff --numstat --minimal $git_added/$git_removed"
echo
sed -n '1,/^Total/p' "$work/compare.out"
