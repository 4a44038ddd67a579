#!/usr/bin/env bash
# The provider under the thread sanitizer: builds only the snapshot and provider libraries and
# their concurrency test with -fsanitize=thread (no GLib, fontconfig or Pango linked in), then
# runs it a few times. Fails on any reported race.
#   scripts/tsan.sh            build into build/tsan
#   KORVEL_TSAN_DIR=DIR scripts/tsan.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
dir=${KORVEL_TSAN_DIR:-build/tsan}
repeat=${KORVEL_TSAN_REPEAT:-3}
t0=$SECONDS

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_TSAN=ON \
  -DKORVEL_BUILD_BENCH=OFF -DKORVEL_DESKTOP=OFF >/dev/null
cmake --build "$dir" -j2 --target provider_tsan_tests

# Nothing in the binary may come from the font and GLib stack.
if ldd "$dir/tests/provider_tsan_tests" | grep -Eq 'lib(glib|gobject|pango|fontconfig|cairo)'; then
  echo "tsan: the provider test links GLib/Pango/fontconfig/Cairo" >&2
  exit 1
fi

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1${TSAN_OPTIONS:+:$TSAN_OPTIONS}"
"$dir/tests/provider_tsan_tests" --gtest_repeat="$repeat" --gtest_brief=1
echo "== tsan: passed in $((SECONDS - t0)) s"
