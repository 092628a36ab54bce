#!/usr/bin/env bash
# Times a whole scan against its floor (reading every file) and against
# ripgrep looking for the same symbols, on a generated tree of about 160 MB in
# 10,000 files with 5,000 keywords. Prints the median of RUNS runs of each, and
# the peak memory of the scan. With BASELINE_CLI, another build's
# glosscutter-cli is timed in the same runs, alternating, and the ratio given.
#   bench/compare-scan.sh [BUILD_DIR=build/default] [RUNS=5] [BASELINE_CLI]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${2:-5}
baseline=${3:-}
command -v rg >/dev/null || apt-get install -y -qq ripgrep >/dev/null
tree=${TMPDIR:-/tmp}/glosscutter-bench-tree
[[ -f $tree/texts.h ]] || "$build/bench/make_source_tree" "$tree"
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
    printf '%-28s %8.3f s\n' "$name" "$t"
    echo "$t"
}

echo "tree: $(du -sh --apparent-size "$tree/src" | cut -f1) in $(find "$tree/src" -type f | wc -l) files; $runs runs each, medians"
floor=$(measure "read every file (floor)" "$build/bench/read_floor" "$tree/src" | tee /dev/stderr | tail -1)
scan=$(measure "glosscutter-cli scan --format json" "$build/cli/glosscutter-cli" scan \
    --keyword-file "$tree/texts.h" --source-folder "$tree/src" --format json | tee /dev/stderr | tail -1)
rg=$(measure "rg -c -w -F -f symbols" rg -c -w -F -f "$tree/symbols.txt" --no-ignore --hidden -a \
    "$tree/src" | tee /dev/stderr | tail -1)
peak=$(/usr/bin/time -f %M "$build/cli/glosscutter-cli" scan --keyword-file "$tree/texts.h" \
    --source-folder "$tree/src" --format json 2>&1 >/dev/null | tail -1)
echo "scan / floor:   $(echo "scale=2; $scan / $floor" | bc)"
if [[ -n $baseline ]]; then
    # Alternating runs, so that a busy moment of the machine falls on both.
    args=(scan --keyword-file "$tree/texts.h" --source-folder "$tree/src" --format json)
    for _ in $(seq "$runs"); do
        echo "new $(timed "$build/cli/glosscutter-cli" "${args[@]}")"
        echo "old $(timed "$baseline" "${args[@]}")"
    done >"$tree/alternating.txt"
    new=$(awk '$1 == "new" { print $2 }' "$tree/alternating.txt" | median)
    old=$(awk '$1 == "old" { print $2 }' "$tree/alternating.txt" | median)
    printf '%-28s %8.3f s\n' "baseline scan (alternating)" "$old" "this scan (alternating)" "$new"
    echo "scan / baseline: $(echo "scale=3; $new / $old" | bc)"
fi
echo "ripgrep / scan: $(echo "scale=2; $rg / $scan" | bc)"
echo "scan peak memory: $((peak / 1024)) MB"
