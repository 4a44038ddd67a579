#!/usr/bin/env bash
# How many planted faults the test suite catches: each single-line mutation of
# scripts/mutants.txt is applied to a copy of the tree, the copy is built and the tests are run;
# a mutation is killed when a test fails, survived when all pass. It measures the suite; it is
# not part of the test command.
#   scripts/mutants.sh [TREE]        mutate a copy of TREE (default: this checkout)
#   KORVEL_MUTANTS_DIR=DIR           work folder (default /tmp/korvel-mutants); the build is kept
#   KORVEL_MUTANTS_ONLY="3 17"       run only these mutations (numbered from 1)
# Prints one line a mutation and the totals; the build is unoptimised and without the desktop
# window or benchmarks, which no mutation of the drawing road needs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list="$root/scripts/mutants.txt"
tree_src=$(cd "${1:-$root}" && pwd)
work=${KORVEL_MUTANTS_DIR:-/tmp/korvel-mutants}
tree="$work/tree"
build="$work/build"
rm -rf "$tree" && mkdir -p "$tree"
git -C "$tree_src" ls-files -co --exclude-standard -z | tar -C "$tree_src" --null -T - -cf - | tar -C "$tree" -xf -

cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DKORVEL_BUILD_BENCH=OFF -DKORVEL_DESKTOP=OFF >/dev/null
cmake --build "$build" -j2 >"$work/build.log" 2>&1 || { echo "the unmutated tree does not build" >&2; exit 1; }

export LANG=en_US.UTF-8 TZ=UTC
suite() { ctest --test-dir "$build" -j2 --stop-on-failure --timeout 300 >"$work/ctest.log" 2>&1; }
suite || { echo "the unmutated tree fails its tests; see $work/ctest.log" >&2; exit 1; }

killed=0 survived=0 unbuilt=0 n=0
while IFS=$'\t' read -r file text replacement; do
  [[ -z $file || $file == \#* ]] && continue
  n=$((n + 1))
  if [[ -n ${KORVEL_MUTANTS_ONLY:-} && " $KORVEL_MUTANTS_ONLY " != *" $n "* ]]; then continue; fi
  target="$tree/$file"
  cp "$target" "$work/original"
  if ! python3 - "$target" "$text" "$replacement" <<'PY'
import sys
path, old, new = sys.argv[1:]
src = open(path, encoding="utf-8").read()
if src.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(src.replace(old, new))
PY
  then
    echo "$n  not applied  $file: the text is not there once"
    unbuilt=$((unbuilt + 1))
    continue
  fi
  t0=$SECONDS
  if ! cmake --build "$build" -j2 >"$work/build.log" 2>&1; then
    verdict="unbuilt"; unbuilt=$((unbuilt + 1))
  elif suite; then
    verdict="SURVIVED"; survived=$((survived + 1))
  else
    verdict="killed"; killed=$((killed + 1))
  fi
  printf '%-3s %-9s %4s s  %s: %s\n' "$n" "$verdict" $((SECONDS - t0)) "$file" "$replacement"
  cp -p "$work/original" "$target"
  touch "$target"
done <"$list"
cmake --build "$build" -j2 >/dev/null 2>&1 || true
echo "mutants: $killed killed, $survived survived, $unbuilt not built (of $n)"
