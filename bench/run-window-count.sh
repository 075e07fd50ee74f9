#!/usr/bin/env bash
# The window at kernel scale, against linecast-cli in the same run:
#
#   bash bench/run-window-count.sh
#
# The whole Linux kernel tree (Debian's linux-source-6.1) with every file type
# of the shipped rules, counted from the real window on a virtual display
# (Xvfb), driven by bench/window_count_bench.cpp as a user would drive it:
# the folder listed and checked, the types picked from the box, Start pressed;
# Stop, Alt-X and the window manager's close sent through the X server.
#
# Targets (printed beside the figures; the script does not fail on a miss):
# - Start until the window is settled (views filled, the report made, no CPU
#   used for a whole second) takes at most 1.3 times linecast-cli's count;
# - the window's peak memory (VmHWM) is at most 1.5 times linecast-cli's
#   (GNU time's maximum resident size);
# - Stop, Alt-X and closing take effect within 0.2 s, also in the middle of one
#   huge file (a 30 GB sparse .c file);
# - an export never freezes the window: one to a FIFO read 4 KiB per 1.5 s
#   leaves the window answering, and Stop ends it within 0.2 s.
#
# Installs what it needs from Debian, builds both programs (Release) in
# build/bench-window, and unpacks the kernel once into $LINECAST_BENCH_CACHE
# (default ~/.cache/linecast-bench; the first unpack takes a while).
# LINECAST_BENCH_RUNS sets the counts per program (default 5); times are
# medians, the two programs taking turns, with a warm page cache.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${LINECAST_BENCH_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/linecast-bench}
runs=${LINECAST_BENCH_RUNS:-5}

say() { printf '%s\n' "$*" >&2; }

bash "$root/scripts/dev" setup linux-source-6.1 xz-utils libxtst-dev time >&2

build="$root/build/bench-window"
say "Building linecast-cli and the window bench (Release) in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLINECAST_BUILD_TESTS=OFF \
    -DLINECAST_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j 2 --target linecast-cli linecast_window_bench >/dev/null
cli="$build/dist/linecast-cli"
bench="$build/bench/linecast_window_bench"
rules="$build/dist/conf/conf.xml"

ktree=$(bash "$root/bench/kernel-tree.sh" "$cache")
# Every file type the shipped rules know, as the source type box takes them.
types=$("$cli" --rules "$rules" --list-types | awk 'NR > 2 { printf "%s;", $1 }')
ntypes=$(printf '%s' "$types" | tr -cd ';' | wc -c)

work=$(mktemp -d)
reader=""
cleanup() {
    [ -n "$reader" ] && kill "$reader" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config"

median_of() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v max="$2" 'BEGIN { print (v != "" && v <= max ? "met" : "MISSED") }'; }
value() { awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print }' "$2"; }
window() { # MODE ARGS... > output
    XDG_CONFIG_HOME="$work/config" NO_AT_BRIDGE=1 timeout 300 \
        xvfb-run -a -s "-screen 0 1280x800x24" "$bench" "$@" 2>>"$work/window.log" || true
}

say "Warming the page cache"
"$cli" --rules "$rules" --types "$types" "$ktree" >"$work/cli.out" 2>/dev/null
cli_files=$(awk '$1 == "Total" { print $2; exit }' "$work/cli.out")

say "Counting $runs times with each program, taking turns"
cli_times=() cli_peaks=() settled=() returned=() cpu=() peaks=() reports=() gaps=()
for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$cli" --rules "$rules" --types "$types" "$ktree" \
        >/dev/null 2>&1
    read -r t m <"$work/time"
    cli_times+=("$t")
    cli_peaks+=("$m")
    window settle "$types" "$ktree" >"$work/settle"
    settled+=("$(value settled_s "$work/settle")")
    returned+=("$(value count_s "$work/settle")")
    cpu+=("$(value cpu_s "$work/settle")")
    peaks+=("$(value peak_kb "$work/settle")")
    reports+=("$(value report_ms "$work/settle")")
    gaps+=("$(value max_gap_ms "$work/settle")")
    win_files=$(value files "$work/settle")
    say "  cli ${cli_times[-1]} s ${cli_peaks[-1]} KB; window settled ${settled[-1]} s" \
        "(Start returned ${returned[-1]} s, CPU ${cpu[-1]} s) ${peaks[-1]} KB"
done
t_cli=$(median_of "${cli_times[@]}")
m_cli=$(median_of "${cli_peaks[@]}")
t_win=$(median_of "${settled[@]}")
m_win=$(median_of "${peaks[@]}")

say "Stop in the middle of a count"
# Halfway through the run itself (Start until its handler returned).
window stop "$(awk -v t="$(median_of "${returned[@]}")" 'BEGIN { printf "%d", t * 500 }')" \
    "$types" "$ktree" >"$work/stop"

say "Stop, Alt-X and the close in the middle of a 30 GB file"
mkdir -p "$work/huge"
truncate -s 30G "$work/huge/huge.c"
for mode in stop quit close; do
    window "$mode" 1000 ".c;" "$work/huge" >"$work/huge-$mode"
done

say "Export CSV of the count to a FIFO read 4 KiB per 1.5 s, stopped after 5 s"
mkfifo "$work/fifo"
(while [ "$(dd bs=4096 count=1 status=none | wc -c)" -gt 0 ]; do sleep 1.5; done) \
    <"$work/fifo" &
reader=$!
window export 5000 "$work/fifo" "$types" "$ktree" >"$work/export"

mb() { awk -v k="$1" 'BEGIN { printf "%.0f MB", k / 1024 }'; }
echo
echo "Linux kernel, every file type ($ntypes), warm page cache; medians of $runs"
echo "linecast-cli:   $cli_files files, $t_cli s, peak $(mb "$m_cli")"
echo "window:         $win_files files, settled after $t_win s" \
    "(Start returned after $(median_of "${returned[@]}") s; CPU $(median_of "${cpu[@]}") s)"
echo "settled vs cli: $(ratio "$t_win" "$t_cli")x (target at most 1.3:" \
    "$(verdict "$(ratio "$t_win" "$t_cli")" 1.3))"
echo "Report page clicked then: laid out and drawn in $(median_of "${reports[@]}") ms"
echo "peak memory:    window $(mb "$m_win") vs cli: $(ratio "$m_win" "$m_cli")x" \
    "(target at most 1.5: $(verdict "$(ratio "$m_win" "$m_cli")" 1.5))"
echo "longest the window went unanswered during a count: $(median_of "${gaps[@]}") ms"
if [[ "$(value status "$work/stop")" == Canceled* ]]; then
    echo "Stop clicked mid-count: the run ended after $(value stop_ms "$work/stop") ms"
else
    echo "Stop clicked mid-count: the count had ended before the click"
fi
for mode in stop quit close; do
    ms=$(value stop_ms "$work/huge-$mode")
    case $mode in
    stop) what="Stop clicked" ;;
    quit) what="Alt-X pressed" ;;
    close) what="window closed" ;;
    esac
    echo "In a 30 GB file, $what: took effect after ${ms:-?} ms" \
        "(target at most 200: $(verdict "${ms:-}" 200))"
done
echo "Export to a slow FIFO: the window went unanswered at most" \
    "$(value max_gap_ms "$work/export") ms; Stop ended the export after" \
    "$(value export_ms "$work/export") ms ($(value status "$work/export"))" \
    "(target at most 200: $(verdict "$(value export_ms "$work/export")" 200))"
