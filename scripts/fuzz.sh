#!/usr/bin/env bash
# Fuzzes the snapshot decoder and the whole drawing road with libFuzzer (clang-14).
#   scripts/fuzz.sh [SECONDS]        each target runs SECONDS (default 30); fails on any crash
#   KORVEL_FUZZ_DIR=DIR              build folder (default build/asan, the sanitizer build, whose
#                                    libraries carry libFuzzer's coverage hooks)
#   KORVEL_FUZZ_TARGETS="decode_fuzzer"   a subset of the targets
#   KORVEL_FUZZ_JOBS=N               parallel libFuzzer workers per target (default 1)
# New coverage goes to DIR/corpus/TARGET (kept between runs); crashing inputs to
# DIR/artifacts/TARGET/. Keep crashers and a minimized corpus in tests/data/fuzz-regressions.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
seconds=${1:-30}
dir=${KORVEL_FUZZ_DIR:-build/asan}
targets=${KORVEL_FUZZ_TARGETS:-decode_fuzzer render_fuzzer}
jobs=${KORVEL_FUZZ_JOBS:-1}
t0=$SECONDS

if [ "$dir" = build/asan ]; then
  cmake --preset asan >/dev/null
else
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DKORVEL_FUZZ=ON -DKORVEL_BUILD_TESTS=OFF -DKORVEL_DESKTOP=OFF >/dev/null
fi
# shellcheck disable=SC2086
cmake --build "$dir" -j2 --target $targets
echo "== fuzz: built in $((SECONDS - t0)) s"

# Seeds: the samples, the JSON conformance files and the regression corpus.
seeds=(examples tests/data/jsontestsuite/test_parsing)
[ -d tests/data/fuzz-regressions ] && seeds+=(tests/data/fuzz-regressions)

# The process-wide font and GLib caches live until exit by design.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LANG=en_US.UTF-8 TZ=UTC

parallel=()
((jobs > 1)) && parallel=(-jobs="$jobs" -workers="$jobs")

status=0
for target in $targets; do
  corpus="$dir/corpus/$target"
  artifacts="$dir/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  # Drawing lays every widget out with Pango, so its inputs stay modest.
  case $target in
    render_fuzzer) max_len=16384 ;;
    *) max_len=65536 ;;
  esac
  echo "== fuzz: $target for $seconds s (max_len $max_len)"
  t1=$SECONDS
  if ! "$dir/fuzz/$target" "$corpus" "${seeds[@]}" -dict=fuzz/snapshot.dict \
      -max_total_time="$seconds" -max_len="$max_len" -rss_limit_mb=2048 -timeout=25 \
      "${parallel[@]}" -artifact_prefix="$artifacts/" -print_final_stats=1 \
      2>"$dir/$target.log"; then
    status=1
    echo "== fuzz: $target FAILED; see $dir/$target.log and $artifacts/" >&2
    grep -E 'ERROR|SUMMARY|==[0-9]+==|Test unit written' "$dir/$target.log" | head -20 >&2 || true
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' \
    "$dir/$target.log" || true
  echo "== fuzz: $target took $((SECONDS - t1)) s"
done
echo "== fuzz: all done in $((SECONDS - t0)) s"
exit $status
