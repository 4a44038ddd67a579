#!/usr/bin/env bash
# How much CPU the player uses while nothing is due: `korvel-widgets play` on the sample
# snapshot (long stale, so no entry date comes; the next reload is 15 minutes away), with the
# snapshot watched, left alone for SECONDS of real time. Prints the CPU seconds of the start-up
# (first drawing), of the idle span alone (from /proc/PID/stat), and /usr/bin/time -v's totals
# and peak resident set size for the whole run.
#
#   scripts/idle_cpu.sh [PROGRAM] [SECONDS]
#       PROGRAM  default build/default/src/korvel-widgets
#       SECONDS  default 60
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/default/src/korvel-widgets}
seconds=${2:-60}
settle=5  # the start-up's drawing is over well before this

[[ -x $program ]] || { echo "idle_cpu: no program at $program (build first)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "idle_cpu: /usr/bin/time is missing (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/examples/week.json" "$work/week.json"

/usr/bin/time -v -o "$work/time.txt" \
  "$program" play -o "$work/out" --snapshot "$work/week.json" 2>"$work/stderr.txt" &
timer=$!

# The player is /usr/bin/time's only child.
pid=
for _ in $(seq 50); do
  pid=$(pgrep -P "$timer" || true)
  [[ -n $pid ]] && break
  sleep 0.1
done
[[ -n $pid ]] || { echo "idle_cpu: the player did not start" >&2; cat "$work/stderr.txt" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
# utime + stime of PID, in clock ticks (fields 14 and 15; the name in field 2 has no spaces).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

sleep "$settle"
start=$(cpu_ticks "$pid")
sleep "$seconds"
end=$(cpu_ticks "$pid")
kill -TERM "$pid"
wait "$timer" || true

awk -v s="$start" -v e="$end" -v t="$ticks" -v n="$seconds" -v settle="$settle" 'BEGIN {
  printf "start-up (first %d s): %.2f CPU s\n", settle, s / t
  printf "idle over %d s: %.2f CPU s (%.3f%% of one core)\n", n, (e - s) / t, 100 * (e - s) / t / n
}'
grep -E 'User time|System time|Elapsed|Maximum resident|Voluntary context|Exit status' "$work/time.txt"
echo "files: $(ls "$work/out" | tr '\n' ' ')"
