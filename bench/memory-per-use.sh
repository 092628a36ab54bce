#!/usr/bin/env bash
# Memory per use on ten copies of the generated tree (hard links, so the copies
# cost no disk and share the page cache): about 2 million uses. The tree has
# no "##"; the second line walks a header that pastes first, so that every
# file's called names are kept too, as in most real C trees.
#   bench/memory-per-use.sh [BUILD_DIR=build/default] [COPIES=10]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
copies=${2:-10}
tree=${TMPDIR:-/tmp}/glosscutter-bench-tree
[[ -f $tree/texts.h ]] || "$build/bench/make_source_tree" "$tree"
many=$tree-x$copies
if [[ ! -d $many ]]; then
    mkdir -p "$many.partial"
    for k in $(seq "$copies"); do cp -al "$tree/src" "$many.partial/copy$k"; done
    mv "$many.partial" "$many"
fi
"$build/bench/memory_bench" "$tree/texts.h" "$many"
pastes=$tree-pastes
mkdir -p "$pastes"
printf '#define TEXT(x) g ## x\n' >"$pastes/pastes.h"
printf 'pasting: '
"$build/bench/memory_bench" "$tree/texts.h" "$pastes" "$many"
