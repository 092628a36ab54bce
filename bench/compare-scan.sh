#!/usr/bin/env bash
# Times a whole scan against its floor (reading every file) on two trees:
#   - a generated tree of about 160 MB in 10,000 files with 5,000 keywords,
#     where ripgrep looking for the same symbols is timed too;
#   - /usr/include, a real C and C++ tree, with a keyword file of the 5,000
#     most frequent g-identifiers found there.
# Prints the median of RUNS runs of each, the floor and the scan taking turns,
# the ratios, and the peak memory of each scan. With BASELINE_CLI, another
# build's glosscutter-cli is timed on the generated tree in the same runs,
# alternating, and the ratio given.
#   bench/compare-scan.sh [BUILD_DIR=build/default] [RUNS=5] [BASELINE_CLI]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
baseline=${3:-}
command -v rg >/dev/null || apt-get install -y -qq ripgrep >/dev/null
tree=${TMPDIR:-/tmp}/glosscutter-bench-tree
[[ -f $tree/texts.h ]] || "$build/bench/make_source_tree" "$tree"
real=${TMPDIR:-/tmp}/glosscutter-bench-include
if [[ ! -f $real/texts.h ]]; then
    mkdir -p "$real"
    # Each identifier gName becomes the keyword sName, as the header spells it.
    { grep -rhoaE '\bg[A-Za-z0-9_]{2,}' /usr/include || true; } | sort | uniq -c |
        sort -k1,1nr -k2 | awk 'NR <= 5000 { printf "#define s%s \"Text %d\"\n", substr($2, 2), NR }' \
        >"$real/texts.h.part"
    mv "$real/texts.h.part" "$real/texts.h"
fi
export XDG_CONFIG_HOME=$tree/config

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
timed() { # prints the elapsed seconds of one run of "$@"
    local start end
    start=$(date +%s.%N); "$@" >/dev/null; end=$(date +%s.%N)
    echo "$end - $start" | bc
}
measure() { # name, command...
    local name=$1; shift
    "$@" >/dev/null # warm the page cache
    local t
    t=$(for _ in $(seq "$runs"); do timed "$@"; done | median)
    printf '%-36s %8.3f s\n' "$name" "$t" >&2
    echo "$t"
}
scan_args() { # keyword file, folder
    echo scan --no-settings --keyword-file "$1" --source-folder "$2" --format json
}

compare() { # title, keyword file, folder
    echo "$1: $(du -sh --apparent-size "$3" | cut -f1) in $(find "$3" -type f | wc -l) files, $(grep -c '^#define' "$2") keywords; $runs runs each, medians"
    local args
    read -ra args <<<"$(scan_args "$2" "$3")"
    "$build/bench/read_floor" "$3" >/dev/null # warm the page cache
    "$build/cli/glosscutter-cli" "${args[@]}" >/dev/null
    # The floor and the scan take turns, so that a busy moment of the machine
    # falls on both.
    for _ in $(seq "$runs"); do
        echo "floor $(timed "$build/bench/read_floor" "$3")"
        echo "scan $(timed "$build/cli/glosscutter-cli" "${args[@]}")"
    done >"$tree/turns.txt"
    floor=$(awk '$1 == "floor" { print $2 }' "$tree/turns.txt" | median)
    scan=$(awk '$1 == "scan" { print $2 }' "$tree/turns.txt" | median)
    printf '%-36s %8.3f s\n' "read every file (floor)" "$floor" "glosscutter-cli scan --format json" "$scan" >&2
    peak=$(/usr/bin/time -f %M "$build/cli/glosscutter-cli" "${args[@]}" 2>&1 >/dev/null | tail -1)
    echo "scan / floor:   $(echo "scale=2; $scan / $floor" | bc)"
    echo "scan peak memory: $((peak / 1024)) MB"
}

compare "generated tree" "$tree/texts.h" "$tree/src"
rg=$(measure "rg -c -w -F -f symbols" rg -c -w -F -f "$tree/symbols.txt" --no-ignore --hidden -a \
    "$tree/src")
echo "ripgrep / scan: $(echo "scale=2; $rg / $scan" | bc)"
if [[ -n $baseline ]]; then
    # Alternating runs, so that a busy moment of the machine falls on both.
    read -ra args <<<"$(scan_args "$tree/texts.h" "$tree/src")"
    for _ in $(seq "$runs"); do
        echo "new $(timed "$build/cli/glosscutter-cli" "${args[@]}")"
        echo "old $(timed "$baseline" "${args[@]}")"
    done >"$tree/alternating.txt"
    new=$(awk '$1 == "new" { print $2 }' "$tree/alternating.txt" | median)
    old=$(awk '$1 == "old" { print $2 }' "$tree/alternating.txt" | median)
    printf '%-36s %8.3f s\n' "baseline scan (alternating)" "$old" "this scan (alternating)" "$new"
    echo "scan / baseline: $(echo "scale=3; $new / $old" | bc)"
fi
echo
compare "/usr/include" "$real/texts.h" /usr/include
